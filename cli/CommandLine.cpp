#include "cli/CommandLine.h"

#include "platform/ComName.h"

#include <array>
#include <cstdio>
#include <map>
#include <set>

namespace cli {

namespace {

struct TCommandDef {
    const char* Name;
    TCliCommand Command;
    std::set<std::string> Options;   // those taking a value
    std::set<std::string> Switches;  // those without
    std::vector<std::string> Required;
};

const std::array<TCommandDef, 5>& Commands()
{
    static const std::array<TCommandDef, 5> commands{
        TCommandDef{"ports", TCliCommand::ccPorts, {}, {"--json"}, {}},
        TCommandDef{"clock", TCliCommand::ccClock, {"--port"}, {"--json"}, {"--port"}},
        TCommandDef{"set-clock", TCliCommand::ccSetClock, {"--port", "--time"}, {"--pc"}, {"--port"}},
        TCommandDef{
            "read", TCliCommand::ccRead, {"--port", "--date", "--id"}, {"--json"}, {"--port", "--date", "--id"}},
        TCommandDef{"download",
                    TCliCommand::ccDownload,
                    {"--port", "--date", "--to", "--folder"},
                    {"--json"},
                    {"--port", "--date"}},
    };
    return commands;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[std::size_t(month - 1)];
}

bool IsCalendarDate(int year, int month, int day)
{
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

// Exactly `count` decimal digits at `pos`.
std::optional<int> Digits(const std::string& text, std::size_t pos, std::size_t count)
{
    if (pos + count > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// The fields of a text of fixed shape: digits where `shape` has 'd', the
// very character elsewhere.
std::optional<std::vector<int>> ReadShape(const std::string& text, const std::string& shape)
{
    if (text.size() != shape.size()) return std::nullopt;
    std::vector<int> fields;
    for (std::size_t i = 0; i < shape.size();) {
        if (shape[i] != 'd') {
            if (text[i] != shape[i]) return std::nullopt;
            ++i;
            continue;
        }
        std::size_t run = i;
        while (run < shape.size() && shape[run] == 'd') ++run;
        const auto value = Digits(text, i, run - i);
        if (!value) return std::nullopt;
        fields.push_back(*value);
        i = run;
    }
    return fields;
}

TUsageError Usage(TCliText text, std::vector<std::string> args = {})
{
    return {text, std::move(args)};
}

std::optional<TUsageError> ReadDay(const std::string& text, TDay& day)
{
    const auto fields = ReadShape(text, "dddd-dd-dd");
    if (!fields || !IsCalendarDate((*fields)[0], (*fields)[1], (*fields)[2])) return Usage(TCliText::ctBadDate, {text});
    if ((*fields)[0] < 2000 || (*fields)[0] > 2099) return Usage(TCliText::ctBadYear, {text});
    day = {(*fields)[0], (*fields)[1], (*fields)[2]};
    return std::nullopt;
}

std::optional<TUsageError> ReadId(const std::string& text, int& id)
{
    const auto value = text.size() <= 4 ? Digits(text, 0, text.size()) : std::nullopt;
    if (text.empty() || !value || *value < 1) return Usage(TCliText::ctBadId, {text});
    id = *value;
    return std::nullopt;
}

// Checks the values of one command's options and fills the request.
std::optional<TUsageError> Fill(const std::map<std::string, std::string>& values, const std::set<std::string>& switches,
                                TCliRequest& request)
{
    request.Json = switches.contains("--json");
    if (const auto port = values.find("--port"); port != values.end()) {
        const auto number = platform::ParseComName(port->second);
        if (!number) return Usage(TCliText::ctBadPort, {port->second});
        request.Port = platform::ComName(*number);
    }
    if (const auto date = values.find("--date"); date != values.end())
        if (auto error = ReadDay(date->second, request.Date)) return error;
    request.To = request.Date;
    if (const auto to = values.find("--to"); to != values.end()) {
        if (auto error = ReadDay(to->second, request.To)) return error;
        if (request.To < request.Date) return Usage(TCliText::ctRangeBackwards, {IsoText(request.Date), to->second});
    }
    if (const auto id = values.find("--id"); id != values.end())
        if (auto error = ReadId(id->second, request.Id)) return error;
    if (const auto folder = values.find("--folder"); folder != values.end()) {
        if (folder->second.empty()) return Usage(TCliText::ctMissingValue, {"--folder"});
        request.Folder = std::filesystem::path(folder->second);  // as the system spells it
    }
    if (request.Command == TCliCommand::ccSetClock) {
        request.FromPc = switches.contains("--pc");
        const auto time = values.find("--time");
        if (request.FromPc == (time != values.end())) return Usage(TCliText::ctPcOrTime);
        if (time != values.end()) {
            request.Time = ReadClockTime(time->second);
            if (!request.Time) return Usage(TCliText::ctBadTime, {time->second});
        }
    }
    return std::nullopt;
}

}  // namespace

TDay NextDay(TDay day)
{
    if (++day.Day > DaysInMonth(day.Year, day.Month)) {
        day.Day = 1;
        if (++day.Month > 12) {
            day.Month = 1;
            ++day.Year;
        }
    }
    return day;
}

std::string IsoText(TDay day)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.Year, day.Month, day.Day);
    return text;
}

std::optional<TClockTime> ReadClockTime(const std::string& text)
{
    const auto f = ReadShape(text, "dd.dd.dd dd:dd:dd");
    if (!f || !IsCalendarDate(2000 + (*f)[0], (*f)[1], (*f)[2]) || (*f)[3] > 23 || (*f)[4] > 59 || (*f)[5] > 59)
        return std::nullopt;
    return TClockTime{(*f)[0], (*f)[1], (*f)[2], (*f)[3], (*f)[4], (*f)[5]};
}

TParsed ParseCommandLine(const std::vector<std::string>& args)
{
    TParsed parsed;
    for (const std::string& arg : args) {
        // Help and version win wherever they stand, as in most programs.
        if (arg == "--help" || arg == "-h") return parsed;
        if (arg == "--version") {
            parsed.Request.Command = TCliCommand::ccVersion;
            return parsed;
        }
    }
    if (args.empty()) {
        parsed.Error = Usage(TCliText::ctNoCommand);
        return parsed;
    }
    const TCommandDef* def = nullptr;
    for (const TCommandDef& candidate : Commands())
        if (args.front() == candidate.Name) def = &candidate;
    if (!def) {
        parsed.Error = Usage(TCliText::ctUnknownCommand, {args.front()});
        return parsed;
    }
    parsed.Request.Command = def->Command;

    std::map<std::string, std::string> values;
    std::set<std::string> switches;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto eq = name.find('='); name.starts_with("--") && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        const bool takesValue = def->Options.contains(name);
        if (!takesValue && (!def->Switches.contains(name) || value)) {
            parsed.Error = Usage(TCliText::ctUnknownOption, {args[i], def->Name});
            return parsed;
        }
        if (values.contains(name) || switches.contains(name)) {
            parsed.Error = Usage(TCliText::ctRepeatedOption, {name});
            return parsed;
        }
        if (!takesValue) {
            switches.insert(name);
            continue;
        }
        if (!value) {
            if (i + 1 == args.size()) {
                parsed.Error = Usage(TCliText::ctMissingValue, {name});
                return parsed;
            }
            value = args[++i];
        }
        values[name] = *value;
    }
    for (const std::string& required : def->Required) {
        if (!values.contains(required)) {
            parsed.Error = Usage(TCliText::ctMissingOption, {required, def->Name});
            return parsed;
        }
    }
    parsed.Error = Fill(values, switches, parsed.Request);
    return parsed;
}

}  // namespace cli
