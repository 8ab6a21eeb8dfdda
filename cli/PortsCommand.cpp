#include "cli/PortsCommand.h"

#include "cli/CliTexts.h"
#include "cli/ExitCodes.h"
#include "cli/Json.h"
#include "cli/Utf8.h"
#include "portlist/ComAvailable.h"
#include "portlist/PortAdvice.h"

#include <ostream>

namespace cli {

namespace {

struct TPortLine {
    std::string ComName;
    std::string Device;   // /dev/ttyUSB0, or Windows' \Device\Serial0
    std::string Adapter;  // Device Manager's name or the kind of device; may be empty
    std::string Advice;   // empty when the port can be opened
};

std::vector<TPortLine> PortLines(int language)
{
    const TPortEntries entries = ReadPortEntries();
    std::vector<TPortLine> lines;
    for (const QString& name : entries.Names) {
        TPortLine line{Utf8(name), {}, {}, {}};
        if (const platform::SerialPortInfo* port = FindPort(name, entries.Ports)) {
            line.Device = port->devicePath;
            line.Adapter = port->friendlyName.empty() ? port->description : port->friendlyName;
        }
        if (const auto advice = AdviceBeforeOpening(AnsiFromQString(name)))
            line.Advice = Utf8(AdviceText(*advice, language));
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace

int ListPorts(bool json, int language, std::ostream& out, std::ostream& err)
{
    std::vector<TPortLine> lines;
    try {
        lines = PortLines(language);
    } catch (const ERegistryException& error) {  // a value of the device map that is no text
        err << "tornvale-cli: " << Text(TCliText::ctPortListFailed, language, {Utf8FromAnsi(error.what())}) << '\n';
        return kExitPort;
    }
    if (json) {
        TJson doc;
        doc.Begin();
        doc.BeginArray("ports");
        for (const TPortLine& line : lines) {
            doc.Begin();
            doc.Field("com", line.ComName);
            doc.Field("device", line.Device);
            doc.Field("adapter", line.Adapter);
            if (line.Advice.empty())
                doc.Null("advice");
            else
                doc.Field("advice", line.Advice);
            doc.End();
        }
        doc.EndArray();
        doc.End();
        out << doc.Text() << '\n';
        return kExitOk;
    }
    if (lines.empty()) out << Text(TCliText::ctNoPorts, language) << '\n';
    for (const TPortLine& line : lines) {
        out << line.ComName << '\t' << line.Device;
        if (!line.Adapter.empty()) out << '\t' << line.Adapter;
        out << '\n';
        if (!line.Advice.empty()) out << "  " << line.Advice << '\n';
    }
    return kExitOk;
}

}  // namespace cli
