#include "ui/PortFailureText.h"

#include "serial/PortFailure.h"

using exchange::TSessionText;

std::string PortFailureSentence(const EComPort& error, const std::optional<platform::PortFacts>& facts,
                                exchange::TTextLanguage language)
{
    if (error.Port.empty()) return {};
    auto say = [&](TSessionText text) { return exchange::SessionText(text, language, {{"port", error.Port}}); };
    const bool atOpen = error.Code == ComErrorCode::OpenFailed;
    switch (ClassifyPortFailure(error)) {
    case TPortFailure::pfDeviceGone: return say(TSessionText::stLoss) + ".";
    case TPortFailure::pfNoSuchDevice: return say(TSessionText::stPortNoDevice);
    case TPortFailure::pfInUseOrRefused:
        return say(facts && facts->access.refused ? TSessionText::stPortRefused : TSessionText::stPortInUse);
    case TPortFailure::pfOther: break;
    }
    return say(atOpen ? TSessionText::stPortNotOpened : TSessionText::stPortFailed);
}

std::string PortFailureSentence(const std::exception_ptr& error, exchange::TTextLanguage language)
{
    try {
        std::rethrow_exception(error);
    } catch (const EComPort& e) {
        std::optional<platform::PortFacts> facts;
        if (e.Code == ComErrorCode::OpenFailed && !e.Port.empty()) facts = platform::ExaminePort(e.Port);
        return PortFailureSentence(e, facts, language);
    } catch (...) {
    }
    return {};
}
