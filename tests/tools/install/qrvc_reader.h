#ifndef TESTS_TOOLS_INSTALL_QRVC_READER_H
#define TESTS_TOOLS_INSTALL_QRVC_READER_H

#include <map>
#include <string>

// A reader of configuration store files written from their layout alone,
// to check what the program saved. Little-endian: "QRVC", then the root
// node: a 16-bit value length and the value bytes, then per child 0x01, an
// 8-bit name length, the name (UTF-8 zero-padded to a multiple of four; the
// name ends at its first zero byte) and the child node, then 0x00.
//
// The result maps each node's path below the root ("install/x/ver", names
// joined by '/') to its value bytes. ok is false for a damaged file.
struct QrvcFile {
    bool ok = false;
    std::map<std::string, std::string> values;
};

namespace qrvc_detail {

inline bool read_node(const std::string& bytes, size_t& at, const std::string& path, QrvcFile& out)
{
    if (at + 2 > bytes.size())
        return false;
    size_t length = uint8_t(bytes[at]) | size_t(uint8_t(bytes[at + 1])) << 8;
    at += 2;
    if (at + length > bytes.size())
        return false;
    if (!path.empty())
        out.values[path] = bytes.substr(at, length);
    at += length;
    for (;;) {
        if (at >= bytes.size())
            return false;
        uint8_t mark = uint8_t(bytes[at++]);
        if (mark == 0)
            return true;
        if (mark != 1 || at >= bytes.size())
            return false;
        size_t name_length = uint8_t(bytes[at++]);
        if (at + name_length > bytes.size())
            return false;
        std::string name = bytes.substr(at, name_length);
        name = name.substr(0, name.find('\0'));
        at += name_length;
        if (!read_node(bytes, at, path.empty() ? name : path + "/" + name, out))
            return false;
    }
}

}  // namespace qrvc_detail

// file_name: the store file's name, which is the first name of its keys.
inline QrvcFile read_qrvc(const std::string& bytes, const std::string& file_name)
{
    QrvcFile file;
    size_t at = 4;
    file.ok = bytes.compare(0, 4, "QRVC") == 0 && qrvc_detail::read_node(bytes, at, file_name, file) &&
              at == bytes.size();
    file.values.erase(file_name);
    return file;
}

inline std::string le_bytes(uint64_t value, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out.push_back(char(value >> (8 * i)));
    return out;
}

inline uint64_t le_value(const std::string& bytes)
{
    uint64_t value = 0;
    for (size_t i = bytes.size(); i-- > 0;)
        value = value << 8 | uint8_t(bytes[i]);
    return value;
}

#endif
