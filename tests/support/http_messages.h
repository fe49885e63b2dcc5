#ifndef TESTS_SUPPORT_HTTP_MESSAGES_H
#define TESTS_SUPPORT_HTTP_MESSAGES_H

#include <gtest/gtest.h>

#include <stdint.h>

#include <algorithm>
#include <string>

#include "base/http_request.h"
#include "base/http_response.h"

// Requests built as a caller of the HTTP client builds them, and a response
// that records what it is handed.

inline void add_header(cHttpRequest& request, const char* name, const char* value)
{
    cPackedKey key;
    packedkey_from_str(key, name, -1);
    tree_get_or_add(request.extra_headers, static_cast<cPackedKey&&>(key))->Assign(value);
}

inline void add_field(cHttpRequest& request, const char* name, const char* type, const char* suffix,
                      const std::string& data)
{
    cHttpFormField* field = list_append(request.form_fields);
    ASSERT_NE(field, nullptr);
    field->name.Assign(name);
    field->content_type.Assign(type);
    field->disposition_suffix.Assign(suffix);
    field->data.Resize(int32_t(data.size()));
    std::copy(data.begin(), data.end(), field->data.Data());
}

// Keeps the body and checks that its pieces arrive in order; can refuse the
// head or stop the body after some bytes.
class cResponseRecorder : public cHttpResponse {
public:
    bool OnHeadersDone() override
    {
        ++heads;
        return accept_head;
    }
    bool OnBody(const uint8_t* data, uint32_t length, uint64_t offset) override
    {
        EXPECT_GT(length, 0u);
        EXPECT_LE(length, 65536u);
        EXPECT_EQ(offset, body.size());
        body.append(reinterpret_cast<const char*>(data), length);
        ++pieces;
        return body.size() < refuse_after;
    }

    // The header's value; "<none>" when there is no such header.
    std::string Header(const char* name)
    {
        cPackedKey key;
        packedkey_from_str(key, name, -1);
        _guardchar<char>* value = tree_find_value(headers, static_cast<cPackedKey&&>(key));
        return value ? (value->Text() ? value->Text() : "") : "<none>";
    }

    int heads = 0;
    int pieces = 0;
    bool accept_head = true;
    size_t refuse_after = SIZE_MAX;
    std::string body;
};

#endif
