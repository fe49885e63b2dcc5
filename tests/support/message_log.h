#ifndef TESTS_SUPPORT_MESSAGE_LOG_H
#define TESTS_SUPPORT_MESSAGE_LOG_H

// The words of the messages a test build shows. The test builds (those
// linked with the message_log_hook objects: install_runner,
// pelmarodesk_killable and the tests that show messages in their own
// process) append each message they show, as it comes up, to the file that
// PELMARO_TEST_MESSAGE_LOG names: its title and its text in UTF-8, each
// ended by a NUL. The shipped program writes nothing.

#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "tests/support/temp_folder.h"

const wchar_t message_log_variable[] = L"PELMARO_TEST_MESSAGE_LOG";

struct ShownMessage {
    std::wstring title;
    std::wstring text;

    bool operator==(const ShownMessage& other) const { return title == other.title && text == other.text; }
};

inline void PrintTo(const ShownMessage& message, std::ostream* out)
{
    *out << "{" << testing::PrintToString(message.title) << ", " << testing::PrintToString(message.text) << "}";
}

// The messages the log file holds, in the order shown; none when there is
// no file. A record cut short by a process killed while writing it is left
// out.
inline std::vector<ShownMessage> read_message_log(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char chunk[4096];
        DWORD read = 0;
        while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read)
            bytes.append(chunk, read);
        CloseHandle(file);
    }
    std::vector<std::wstring> fields;
    for (size_t start = 0, end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1) {
        // The program's own UTF-8, which keeps a lone surrogate.
        std::wstring field(size_t(utf8_char_count(bytes.data() + start, int32_t(end - start))), L'\0');
        utf8_decode(int32_t(end - start), bytes.data() + start, &field[0], int32_t(field.size()));
        fields.push_back(field);
    }
    std::vector<ShownMessage> messages;
    for (size_t i = 0; i + 1 < fields.size(); i += 2)
        messages.push_back({fields[i], fields[i + 1]});
    return messages;
}

// The message shown last in the log file; an empty one when none was.
inline ShownMessage last_message_in(const std::wstring& path)
{
    std::vector<ShownMessage> messages = read_message_log(path);
    return messages.empty() ? ShownMessage() : messages.back();
}

// The log of the messages shown while it lives, by this test process and by
// every process it starts meanwhile: a fresh file named in the variable of
// the process's own environment, which its children inherit (also through
// run_process's environment_block). The variable's earlier value comes back
// when the log goes, so logs may nest.
class MessageLog {
public:
    MessageLog() : folder(L"messages")
    {
        wchar_t before[MAX_PATH] = {};
        DWORD length = GetEnvironmentVariableW(message_log_variable, before, MAX_PATH);
        had_before = length > 0 && length < MAX_PATH;
        previous = had_before ? before : L"";
        SetEnvironmentVariableW(message_log_variable, Path().c_str());
    }
    ~MessageLog() { SetEnvironmentVariableW(message_log_variable, had_before ? previous.c_str() : nullptr); }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    // The log file, in Windows' form.
    std::wstring Path() const { return folder.Native(L"messages.log"); }
    std::vector<ShownMessage> Messages() const { return read_message_log(Path()); }
    // The message shown last; an empty one when none was.
    ShownMessage Last() const { return last_message_in(Path()); }

private:
    TempFolder folder;
    std::wstring previous;
    bool had_before = false;
};

// The message shown last in the log that the variable of this process names
// now (a MessageLog that lives); an empty one when none was.
inline ShownMessage last_logged_message()
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(message_log_variable, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? last_message_in(path) : ShownMessage();
}

// A catalog text with its one "%s" filled, as the program composes its
// messages.
inline std::wstring filled_text(std::wstring format, const std::wstring& argument)
{
    size_t at = format.find(L"%s");
    if (at != std::wstring::npos)
        format.replace(at, 2, argument);
    return format;
}

#endif
