#include "exchange/FieldCommit.h"

#include "exchange/ReadoutPath.h"
#include "exchange/TextRules.h"
#include "serial/StrToInt.h"

namespace exchange {

namespace {

std::string DoesNotFitMessage(const std::string& text, int width)
{
    return "'" + text + "' passt nicht in das Feld: " + std::to_string(width) + " Zeichen erwartet";
}

TEntryField FocusAfter(const TFieldDef& def, std::optional<TOperatingMode> checked)
{
    if (def.Field != TEntryField::efTT) return def.Next;
    if (checked == TOperatingMode::omUhrStellen) return TEntryField::efhh;
    if (checked == TOperatingMode::omDateiLesen) return TEntryField::efJJ;
    return TEntryField::efMessID;
}

bool EnablesTransmit(TTransmitEnable rule, std::optional<TOperatingMode> checked)
{
    switch (rule) {
    case TTransmitEnable::teAlways: return true;
    case TTransmitEnable::teInReadingModes:
        return checked == TOperatingMode::omWertLesen || checked == TOperatingMode::omDateiLesen;
    case TTransmitEnable::teNever: break;
    }
    return false;
}

std::string ExtendName(TFileNamePart part, const std::string& datei, const std::string& text)
{
    switch (part) {
    case TFileNamePart::fnYear: return YearName(datei, text);
    case TFileNamePart::fnMonth: return MonthName(datei, text);
    case TFileNamePart::fnDay: return DayName(datei, text);
    case TFileNamePart::fnNone: break;
    }
    return datei;
}

}  // namespace

TCommitResult CommitField(TEntryField field, const TCommitInput& input)
{
    const TFieldDef& def = FieldDef(field);
    TCommitResult result{input.FieldText, input.Frame, input.Datei, field, false, {}};
    if (def.FileName == TFileNamePart::fnYear) result.Datei = input.ReadoutPath;

    std::string text = input.FieldText;
    if (def.Normalised) {
        try {
            text = ZeroPadded(StrToInt(input.FieldText), def.Width);
        } catch (const EConvertError& error) {
            result.Failure.Set(error);
            return result;
        }
    }
    if (static_cast<int>(text.size()) != def.Width) {
        result.Failure.Set(EConvertError(DoesNotFitMessage(input.FieldText, def.Width)));
        return result;
    }

    result.FieldText = text;
    result.Frame = ReplaceChars(input.Frame, def.FramePos, def.Width, text);
    result.Datei = ExtendName(def.FileName, result.Datei, text);
    result.Focus = FocusAfter(def, input.CheckedMode);
    result.EnableTransmit = EnablesTransmit(def.Transmit, input.CheckedMode);
    return result;
}

}  // namespace exchange
