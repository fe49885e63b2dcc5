#include <string.h>
#include <wchar.h>

#include "gui/child_element.h"
#include "gui/request_target.h"
#include "gui/ui_font.h"

// Services of the host window: every element climbs to the root of its tree
// and asks the root's request target. Without a host each answers its
// no-host value.

cWindowRequestTarget* cChildElement::GetRequestTarget()
{
    for (cChildElement* element = this; element; element = element->parent) {
        if (element->request_target)
            return element->request_target;
    }
    return nullptr;
}

void cChildElement::AttachWindow(cWindowRequestTarget* target, int32_t new_x, int32_t new_y, int32_t new_width,
                                 int32_t new_height)
{
    request_target = target;
    x = new_x;
    y = new_y;
    width = new_width;
    height = new_height;
}

bool cChildElement::RequestWindowFocus()
{
    if (parent)
        return parent->RequestWindowFocus();
    return request_target ? request_target->SetWindowFocus() : false;
}

cFontObject* cChildElement::GetFont(int32_t font_width, int32_t font_height, const wchar_t* face, bool bold,
                                    bool underline, bool italic)
{
    if (parent)
        return parent->GetFont(font_width, font_height, face, bold, underline, italic);
    return request_target ? request_target->GetFont(font_width, font_height, face, bold, underline, italic)
                          : nullptr;
}

cFontObject* cChildElement::GetDefaultFont()
{
    return GetFont(5, 13, get_ui_font_face_name(), false, false, false);
}

bool cChildElement::SetCursor(uint32_t kind)
{
    if (parent)
        return parent->SetCursor(kind);
    return request_target ? request_target->SetCursorShape(kind) : false;
}

bool cChildElement::ClientToScreen(cPoint* point)
{
    if (!point)
        return false;
    if (parent) {
        cPoint origin = parent->GetScrollOrigin();
        if (fixed_horizontally_against != parent)
            point->x += origin.x;
        if (fixed_vertically_against != parent)
            point->y += origin.y;
        point->x += x;
        point->y += y;
        return parent->ClientToScreen(point);
    }
    cRect window;
    if (!request_target || !request_target->GetWindowBounds(&window))
        return false;
    point->x += window.x;
    point->y += window.y;
    return true;
}

bool cChildElement::GetScreenPosition(cPoint* point)
{
    if (!point)
        return false;
    *point = cPoint{0, 0};
    return ClientToScreen(point);
}

bool cChildElement::MeasureText(const wchar_t* measured, cSize* size, cFontObject* font)
{
    cWindowRequestTarget* target = GetRequestTarget();
    return target ? target->MeasureText(font, measured, size) : false;
}

intptr_t cChildElement::ShowModal(const wchar_t* title, int32_t modal_width, int32_t modal_height,
                                  cChildElement* root, bool resizable)
{
    cWindowRequestTarget* target = GetRequestTarget();
    return target ? target->RunModal(title, modal_width, modal_height, root, resizable) : -1;
}

void cChildElement::EndModal(intptr_t result)
{
    if (cWindowRequestTarget* target = GetRequestTarget())
        target->EndModal(result);
}

cWindowHolder* cChildElement::ShowPopup(int32_t popup_x, int32_t popup_y, int32_t popup_width,
                                        int32_t popup_height, cChildElement* root, bool activate)
{
    cWindowRequestTarget* target = GetRequestTarget();
    return target ? target->ShowPopup(popup_x, popup_y, popup_width, popup_height, root, activate) : nullptr;
}

intptr_t cChildElement::RunPopupModal(int32_t popup_x, int32_t popup_y, int32_t popup_width, int32_t popup_height,
                                      cChildElement* root)
{
    cWindowRequestTarget* target = GetRequestTarget();
    return target ? target->RunPopupModal(popup_x, popup_y, popup_width, popup_height, root) : -1;
}

bool cChildElement::ClipboardPutText(const wchar_t* put, int32_t length)
{
    cWindowRequestTarget* target = GetRequestTarget();
    if (!target || !put)
        return false;
    // Length -1 takes the terminating zero along.
    uint64_t characters = length < 0 ? uint64_t(wcslen(put)) + 1 : uint64_t(length);
    if (characters * sizeof(wchar_t) > UINT32_MAX)
        return false;
    return target->ClipboardPutText(put, uint32_t(characters * sizeof(wchar_t)));
}

bool cChildElement::ClipboardGetText(_typebuf<wchar_t>& out)
{
    out.Clear();
    cWindowRequestTarget* target = GetRequestTarget();
    _typebuf<uint8_t> bytes;
    if (!target || !target->ClipboardGetText(bytes) || bytes.Count() < int32_t(sizeof(wchar_t)))
        return false;
    int32_t characters = bytes.Count() / int32_t(sizeof(wchar_t));
    out.Resize(characters + 1);
    if (!out.Data())
        return false;
    memcpy(out.Data(), bytes.Data(), size_t(characters) * sizeof(wchar_t));
    out[characters] = 0;
    return true;
}

bool cChildElement::ClipboardGetText(_guardchar<wchar_t>& out)
{
    out.Clear();
    _typebuf<wchar_t> characters;
    if (!ClipboardGetText(characters))
        return false;
    out.AssignN(characters.Data(), characters.Count() - 1);
    return true;
}

bool cChildElement::GetWorkArea(cSize* size)
{
    cWindowRequestTarget* target = GetRequestTarget();
    return target && size ? target->GetWorkArea(size) : false;
}

bool cChildElement::NotifyPostedPending(cChildElement* element)
{
    if (parent)
        return parent->NotifyPostedPending(element);
    return request_target ? request_target->PostPendingPosted(element) : false;
}

bool cChildElement::NotifySentPending(cChildElement* element)
{
    if (parent)
        return parent->NotifySentPending(element);
    return request_target ? request_target->PostPendingSent(element) : false;
}
