// Opens any compiled document in the document viewer, in a resizable modal
// window: doc_view <document or document index> [language number]. A file
// that does not start with the document magic is compiled as a document
// index first (its errors are printed). Without a language number the
// document's first language is shown. Exit code 0 after the window is
// closed, 1 when the document cannot be compiled, read or loaded.

#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include "base/file_io.h"
#include "base/mem_io_target.h"
#include "base/path.h"
#include "gui/window_maker.h"
#include "sidoc/doc_compiler.h"
#include "sidoc/doc_format.h"
#include "sidoc/doc_loader.h"
#include "sidoc/doc_viewer.h"

namespace {

// The root of the window: the viewer over all of it.
class cViewRoot : public cChildElement {
public:
    explicit cViewRoot(cSiDocViewer* shown) : viewer(shown) {}
    void OnCreate() override { AddChild(viewer, 0, 0, -1, -1); }

private:
    cSiDocViewer* viewer;
};

bool read_file(const wchar_t* path, std::vector<uint8_t>& bytes)
{
    cFileIO file;
    if (!file.Open(path, FILE_MODE_READ) || file.GetSize() > 0x10000000)
        return false;
    bytes.resize(size_t(file.GetSize()));
    return bytes.empty() || file.ReadExact(bytes.data(), uint32_t(bytes.size()));
}

bool compile_index(const wchar_t* path, std::vector<uint8_t>& blob)
{
    cSiDocLangCodeMap codes(512);
    cMemIOTarget target;
    cSiDocCompileError error;
    if (!compile_doc_index(&target, codes, path, error)) {
        fwprintf(stderr, L"%ls:%u:%u: %hs\n", error.file.Text() ? error.file.Text() : path, error.line + 1,
                 error.column + 1, error.message.Text() ? error.message.Text() : "");
        return false;
    }
    _typebuf<uint8_t> bytes;
    if (!target.CopyTo(bytes))
        return false;
    blob.assign(bytes.Data(), bytes.Data() + bytes.Count());
    return true;
}

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) {
        fputs("usage: doc_view <document or document index> [language number]\n", stderr);
        return 1;
    }
    _guardchar<wchar_t> path(argv[1]);
    path_from_native(path.Buffer());
    std::vector<uint8_t> blob;
    if (!read_file(path.Text(), blob)) {
        fwprintf(stderr, L"cannot read %ls\n", path.Text());
        return 1;
    }
    bool compiled = blob.size() >= sizeof doc_magic && memcmp(blob.data(), doc_magic, sizeof doc_magic) == 0;
    if (!compiled && !compile_index(path.Text(), blob))
        return 1;
    cSiDocLoader loader;
    if (!loader.Load(blob.data(), int32_t(blob.size()))) {
        fputs("not a usable document\n", stderr);
        return 1;
    }
    cTreeNode<int32_t, cSiDocContainer>* language = tree_first_node(loader.languages);
    if (argc > 2)
        language = tree_find_node(loader.languages, _wtoi(argv[2]));
    if (!language) {
        fputs("the document has no such language\n", stderr);
        return 1;
    }
    cWWMaker maker;
    if (!maker.Init(GetModuleHandleW(nullptr), 0, 101))
        return 1;
    cSiDocViewer viewer;
    viewer.SetDocument(&language->value);
    maker.RunDialog(argv[1], 640, 480, new cViewRoot(&viewer), nullptr, true);
    return 0;
}
