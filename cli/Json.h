#pragma once
// A JSON document written as it is built, for --json: one object, its
// members in the order they are added, strings escaped.
//
//   TJson json;
//   json.Begin(); json.Field("port", "COM3"); json.Field("records", 96); json.End();
//   std::cout << json.Text() << '\n';

#include <string>
#include <string_view>

namespace cli {

class TJson {
public:
    void Begin();  // {  (or an object as the next array element / field value)
    void End();    // }
    void BeginArray(std::string_view name);
    void EndArray();
    void BeginObject(std::string_view name);                    // a member that is an object
    void Field(std::string_view name, std::string_view value);  // UTF-8
    void Field(std::string_view name, const char* value) { Field(name, std::string_view(value)); }
    void Field(std::string_view name, long long value);
    void Field(std::string_view name, int value) { Field(name, static_cast<long long>(value)); }
    void Field(std::string_view name, bool value);
    void Null(std::string_view name);

    const std::string& Text() const { return text_; }

private:
    void Name(std::string_view name);
    void Separate();

    std::string text_;
    bool first_ = true;
};

// The text as a JSON string, quotes included; control characters escaped.
std::string JsonString(std::string_view text);

}  // namespace cli
