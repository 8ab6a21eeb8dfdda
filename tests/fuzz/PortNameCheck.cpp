// The port-name rule for any text: the result is always a COM name the rule
// itself keeps and the port folder takes, and it follows from the integer
// conversion of the text after an optional "COM".

#include "FuzzChecks.h"

#include "platform/ComName.h"
#include "serial/CPort.h"
#include "serial/StrToInt.h"

#include <cctype>

namespace fuzzcheck {

namespace {

constexpr int kHighestPort = 255;  // the rule's documented range

std::string Expected(const std::string& text)
{
    std::string rest = text;
    if (text.size() >= 3 && std::toupper(static_cast<unsigned char>(text[0])) == 'C' &&
        std::toupper(static_cast<unsigned char>(text[1])) == 'O' &&
        std::toupper(static_cast<unsigned char>(text[2])) == 'M')
        rest = text.substr(3);
    const auto n = TryStrToInt(rest);
    return "COM" + std::to_string(n && *n >= 1 && *n <= kHighestPort ? *n : 1);
}

}  // namespace

void PortName(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string name = NormalizePortName(text);
    Require(name == Expected(text), "the name is COM and the converted number, or COM1");
    Require(NormalizePortName(name) == name, "a normalised name stays as it is");
    Require(platform::ParseComName(name).has_value(), "the port folder takes every name the component keeps");
    // The folder takes a text only as the name the component keeps for it.
    if (platform::ParseComName(text)) {
        std::string upper = text;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        Require(upper == name, "a name the folder takes is the component's name, but for case");
    }
}

}  // namespace fuzzcheck
