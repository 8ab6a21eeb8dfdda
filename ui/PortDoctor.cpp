#include "ui/PortDoctor.h"

#include "ui/CaptionTable.h"

void TPortDoctor::OpenFailed(const std::string& comName, std::int32_t code, std::int32_t winCode, int language)
{
    const std::optional<TPortAdvice> advice = ExaminePortFailure(comName, code, winCode);
    if (!advice) {
        line_.Clear();
        return;
    }
    line_.Show([advice = *advice](exchange::TTextLanguage l) { return AdviceText(advice, CaptionLanguageOf(l)); },
               TextLanguageOf(language));
}

void TPortDoctor::LanguageChanged(int language)
{
    line_.LanguageChanged(TextLanguageOf(language));
}
