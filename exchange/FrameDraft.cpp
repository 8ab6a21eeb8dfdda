#include "exchange/FrameDraft.h"

#include "exchange/ClockFill.h"
#include "exchange/ReadoutPath.h"

namespace exchange {

namespace {

using F = TEntryField;

// A clock fill reads the PC time as the system time panel shows it.
std::string PcClockText(const TDateTimeParts& now)
{
    return FormatPanel5(now, ':');
}

}  // namespace

const std::vector<TEntryField>& ModeFields(TOperatingMode mode)
{
    static const std::vector<TEntryField> value = {F::efMessID, F::efJJ, F::efMM, F::efTT};
    static const std::vector<TEntryField> day = {F::efJJ, F::efMM, F::efTT};
    static const std::vector<TEntryField> clock = {F::efJJ, F::efMM, F::efTT, F::efhh, F::efm_m, F::efss};
    static const std::vector<TEntryField> config = {F::efDezimale, F::efSpeicher_ID, F::efZaehler_ID, F::efWinter,
                                                    F::efSommer};
    switch (mode) {
    case TOperatingMode::omWertLesen: return value;
    case TOperatingMode::omDateiLesen: return day;
    case TOperatingMode::omUhrStellen: return clock;
    case TOperatingMode::omKonfig: break;
    }
    return config;
}

TRequestKind RequestKindOf(TOperatingMode mode)
{
    switch (mode) {
    case TOperatingMode::omWertLesen: return TRequestKind::rkReadValue;
    case TOperatingMode::omDateiLesen: return TRequestKind::rkReadDay;
    case TOperatingMode::omUhrStellen: return TRequestKind::rkSetClock;
    case TOperatingMode::omKonfig: break;
    }
    return TRequestKind::rkConfigure;
}

void TFrameDraft::SetReadoutFolder(const std::string& readoutPath, const std::filesystem::path& readoutFolder)
{
    readoutPath_ = readoutPath;
    readoutFolder_ = readoutFolder;
}

std::vector<std::pair<TEntryField, std::string>> TFrameDraft::ChooseMode(TOperatingMode mode,
                                                                         const TDateTimeParts& pcNow)
{
    const TModeDef& def = ModeDef(mode);
    mode_ = mode;
    checked_ = true;
    armed_ = false;
    committed_.clear();
    year_.clear();
    month_.clear();
    day_.clear();
    frame_ = CommandTemplate(def.Command);
    if (!def.FillsClock) return {};
    const TFieldFill fill = FillClockFromPanel5(PcClockText(pcNow), frame_);
    Apply(fill.Fields, fill.Frame);
    return fill.Fields;
}

TCommitResult TFrameDraft::Commit(TEntryField field, const std::string& text)
{
    TCommitResult r = CommitField(field, {text, frame_, Datei(), readoutPath_, CheckedMode()});
    if (!r.Failure) Apply({{field, r.FieldText}}, r.Frame);
    if (r.EnableTransmit) armed_ = true;
    r.Datei = Datei();
    return r;
}

std::vector<std::pair<TEntryField, std::string>> TFrameDraft::TakeOverTime(const TDateTimeParts& pcNow)
{
    const TFieldFill fill = TakeOverSystemTime(PcClockText(pcNow), frame_);
    Apply(fill.Fields, fill.Frame);
    armed_ = true;
    return fill.Fields;
}

void TFrameDraft::Apply(const std::vector<std::pair<TEntryField, std::string>>& fill, const std::string& frame)
{
    frame_ = frame;
    for (const auto& [field, text] : fill) {
        committed_.insert(field);
        if (field == F::efJJ) year_ = text;
        if (field == F::efMM) month_ = text;
        if (field == F::efTT) day_ = text;
    }
}

void TFrameDraft::Sent(const std::string& sentFrame)
{
    frame_ = sentFrame;
    checked_ = false;
    armed_ = false;
}

bool TFrameDraft::Complete() const
{
    if (!mode_) return false;
    for (const TEntryField field : ModeFields(*mode_))
        if (!Committed(field)) return false;
    return true;
}

std::string TFrameDraft::Datei() const
{
    if (year_.empty()) return readoutPath_;
    std::string name = YearName(readoutPath_, year_);
    if (month_.empty()) return name;
    name = MonthName(name, month_);
    return day_.empty() ? name : DayName(name, day_);
}

std::optional<std::filesystem::path> TFrameDraft::DayFile() const
{
    if (year_.empty() || month_.empty() || day_.empty()) return std::nullopt;
    return DayFilePath(readoutFolder_, readoutPath_, Datei());
}

std::string TFrameDraft::DayText() const
{
    return day_ + "." + month_ + "." + year_;
}

}  // namespace exchange
