#include "cli/Json.h"

#include <cstdio>

namespace cli {

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

void TJson::Separate()
{
    if (!first_) text_ += ',';
    first_ = false;
}

void TJson::Name(std::string_view name)
{
    Separate();
    text_ += JsonString(name) + ':';
}

void TJson::Begin()
{
    Separate();
    text_ += '{';
    first_ = true;
}

void TJson::End()
{
    text_ += '}';
    first_ = false;
}

void TJson::BeginArray(std::string_view name)
{
    Name(name);
    text_ += '[';
    first_ = true;
}

void TJson::EndArray()
{
    text_ += ']';
    first_ = false;
}

void TJson::BeginObject(std::string_view name)
{
    Name(name);
    text_ += '{';
    first_ = true;
}

void TJson::Field(std::string_view name, std::string_view value)
{
    Name(name);
    text_ += JsonString(value);
}

void TJson::Field(std::string_view name, long long value)
{
    Name(name);
    text_ += std::to_string(value);
}

void TJson::Field(std::string_view name, bool value)
{
    Name(name);
    text_ += value ? "true" : "false";
}

void TJson::Null(std::string_view name)
{
    Name(name);
    text_ += "null";
}

}  // namespace cli
