#ifndef GUI_REQUEST_TARGET_H
#define GUI_REQUEST_TARGET_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "gui/geometry.h"

class cChildElement;
class cFontObject;
class cWindowHolder;
class cWndTranslator;
struct cStringArray;

// How the elements of a tree reach their host window and the platform. The
// root element of a tree with a window holds one; every other element climbs
// to it. Operations without a default here are the host window's.
class cWindowRequestTarget {
public:
    cWindowRequestTarget() = default;
    virtual ~cWindowRequestTarget();
    cWindowRequestTarget(const cWindowRequestTarget&) = delete;
    cWindowRequestTarget& operator=(const cWindowRequestTarget&) = delete;

    // Unbinds the window object first, so that no later message reaches it.
    virtual void DestroyWindow() = 0;
    virtual void EndModal(intptr_t result) = 0;
    virtual bool Minimize() = 0;
    virtual bool Maximize() = 0;
    virtual bool MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual cWndTranslator* GetWindow() = 0;
    // Corners in client coordinates, right and bottom exclusive; null = all.
    virtual void InvalidateWindow(const cRectEdges* rect) = 0;
    // Wake-up of the UI thread for an element's queued actions; any thread.
    virtual bool PostPendingPosted(cChildElement* element) = 0;
    virtual bool PostPendingSent(cChildElement* element) = 0;
    virtual bool SetMouseCapture(bool on) = 0;
    // Kinds: 0 arrow, 1 I-beam, 2 wait, 3 hand, 4/6 west-east, 5/7
    // north-south, 8 north-east/south-west, 9 north-west/south-east.
    virtual bool SetCursorShape(uint32_t kind) = 0;
    virtual bool ClipboardPutText(const wchar_t* text, uint32_t size_in_bytes) = 0;
    virtual bool ClipboardGetText(_typebuf<uint8_t>& out) = 0;
    virtual bool ClipboardPutBytes(const void* bytes, uint32_t size);
    virtual bool ClipboardGetBytes(_typebuf<uint8_t>& out);
    virtual bool ClipboardHasData(bool text_only);
    virtual bool SetMinClientSize(int32_t width, int32_t height) = 0;
    virtual bool SetMaxClientSize(int32_t width, int32_t height) = 0;
    // The window's outer rectangle; for a top-level window with a visible
    // title bar, the area inside the frame below the title bar.
    virtual bool GetWindowBounds(cRect* bounds) = 0;
    virtual bool GetWorkArea(cSize* size) = 0;
    virtual bool GetScreenArea(cSize* size);
    // The user can resize the window by its frame now (not while it is
    // maximised). Base: false.
    virtual bool IsResizable();
    virtual int32_t GetDpi();
    virtual bool KeepAwake();
    virtual bool AllowSleep();
    virtual void SetTitle(const wchar_t* text) = 0;
    virtual cFontObject* GetFont(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                                 bool italic) = 0;
    // The current catalog's strings of the section, or null.
    virtual const cStringArray* GetStringTable(const wchar_t* section) = 0;
    virtual bool MeasureText(cFontObject* font, const wchar_t* text, cSize* size) = 0;
    // A borderless popup window; the caller owns the holder.
    virtual cWindowHolder* ShowPopup(int32_t x, int32_t y, int32_t width, int32_t height, cChildElement* root,
                                     bool activate) = 0;
    // The root passes to the run, which destroys it; -1 when nothing ran.
    virtual intptr_t RunModal(const wchar_t* title, int32_t width, int32_t height, cChildElement* root,
                              bool resizable) = 0;
    virtual intptr_t RunPopupModal(int32_t x, int32_t y, int32_t width, int32_t height, cChildElement* root) = 0;
    virtual bool SetWindowFocus();
};

#endif
