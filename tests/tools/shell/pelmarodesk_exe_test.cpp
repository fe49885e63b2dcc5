// The built executable as a file: its shape, its resources read back through
// Windows, and the self-command block's place in it.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "tests/support/pelmarodesk_exe.h"
#include "tools/shell/self_command_block.h"

namespace {

// The PE headers and section table of the program's bytes.
struct PeImage {
    explicit PeImage(const std::string& file) : bytes(file)
    {
        auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
        nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes.data() + dos->e_lfanew);
        sections = IMAGE_FIRST_SECTION(nt);
    }
    const IMAGE_SECTION_HEADER* SectionAtOffset(size_t offset) const
    {
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i)
            if (offset >= sections[i].PointerToRawData &&
                offset < sections[i].PointerToRawData + sections[i].SizeOfRawData)
                return &sections[i];
        return nullptr;
    }
    const char* AtRva(DWORD rva) const
    {
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i)
            if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].SizeOfRawData)
                return bytes.data() + rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
        return nullptr;
    }
    const std::string& bytes;
    const IMAGE_NT_HEADERS32* nt;
    const IMAGE_SECTION_HEADER* sections;
};

std::wstring version_string(const std::string& info, const wchar_t* name)
{
    std::wstring query = std::wstring(L"\\StringFileInfo\\000004b0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), query.c_str(), &value, &length) || !value)
        return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

}  // namespace

TEST(PelmarodeskExe, Is32BitStaticAndExportsOnlyTheSharedHeap)
{
    std::string file = read_whole_file(pelmarodesk_exe());
    ASSERT_GT(file.size(), 4096u);
    PeImage image(file);
    EXPECT_EQ(image.nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(image.nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    const IMAGE_DATA_DIRECTORY& exports = image.nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(image.AtRva(exports.VirtualAddress));
    ASSERT_NE(directory, nullptr);
    ASSERT_EQ(directory->NumberOfNames, 1u);
    EXPECT_EQ(directory->NumberOfFunctions, 1u);
    DWORD name = *reinterpret_cast<const DWORD*>(image.AtRva(directory->AddressOfNames));
    EXPECT_STREQ(image.AtRva(name), "__get_process_shared_heap");

    // Only the system's own libraries: nothing of the compiler's runtime.
    const std::set<std::string> system = {"KERNEL32.dll", "USER32.dll", "GDI32.dll", "SHELL32.dll",
                                          "ADVAPI32.dll", "WS2_32.dll", "msvcrt.dll", "VERSION.dll"};
    const IMAGE_DATA_DIRECTORY& imports = image.nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image.AtRva(imports.VirtualAddress));
    ASSERT_NE(import, nullptr);
    for (; import->Name; ++import)
        EXPECT_TRUE(system.count(image.AtRva(import->Name))) << image.AtRva(import->Name);
}

TEST(PelmarodeskExe, VersionResourceReadsBackThroughWindows)
{
    std::wstring path = pelmarodesk_exe();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::string info(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, &info[0]));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    // The program's version 1.0.4, packed as the version query reports it.
    EXPECT_EQ(uint64_t(fixed->dwFileVersionMS) << 32 | fixed->dwFileVersionLS, 0x0001000000040000ull);
    EXPECT_EQ(uint64_t(fixed->dwProductVersionMS) << 32 | fixed->dwProductVersionLS, 0x0001000000040000ull);
    EXPECT_EQ(version_string(info, L"FileVersion"), L"1.0.4.0");
    EXPECT_EQ(version_string(info, L"ProductVersion"), L"1.0.4.0");
    EXPECT_EQ(version_string(info, L"CompanyName"), L"Vantrel");

    // Room for a product's strings when make rebuilds it in place; and the
    // icon group that the window class takes.
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC version = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
    ASSERT_NE(version, nullptr);
    EXPECT_GE(SizeofResource(module, version), 1800u);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(14));
    ASSERT_NE(group, nullptr);
    auto entries = static_cast<const WORD*>(LockResource(LoadResource(module, group)));
    ASSERT_NE(entries, nullptr);
    EXPECT_EQ(entries[2], 3) << "icon images in the group";
    FreeLibrary(module);
}

TEST(PelmarodeskExe, CommandBlockTemplateLiesOnceInWritableData)
{
    std::string file = read_whole_file(pelmarodesk_exe());
    std::string template_bytes = "<ICMDBLOCK>" + std::string(command_block_size - 11, '\0');
    size_t first = file.find(template_bytes);
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(file.find(template_bytes, first + 1), std::string::npos);

    PeImage image(file);
    const IMAGE_SECTION_HEADER* section = image.SectionAtOffset(first);
    ASSERT_NE(section, nullptr);
    EXPECT_TRUE(section->Characteristics & IMAGE_SCN_MEM_WRITE);
    EXPECT_TRUE(section->Characteristics & IMAGE_SCN_CNT_INITIALIZED_DATA);

    // make finds it in its own file (the make round trip); a template at the
    // very end of the bytes is found too.
    std::string tail = std::string(100, 'x') + template_bytes;
    EXPECT_EQ(find_command_block_in(reinterpret_cast<const uint8_t*>(tail.data()), tail.size()), 100);
}
