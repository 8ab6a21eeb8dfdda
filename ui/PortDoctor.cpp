#include "ui/PortDoctor.h"

#include "serial/PortFailure.h"
#include "ui/CaptionTable.h"

namespace {

QString Q(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::optional<TPortAdvice> AdviceFor(const std::string& comName, std::int32_t code, std::int32_t winCode,
                                     const platform::PortFacts& facts)
{
    using K = TPortAdvice::TKind;
    if (code != ComErrorCode::OpenFailed) return std::nullopt;  // it opened; setting it up failed
    auto advice = [&](K kind) { return TPortAdvice{kind, comName, facts}; };
    if (facts.devicePath.empty()) return advice(K::NoDevice);
    if (facts.access.refused)
        return advice(facts.access.joiningGroupHelps ? K::NoPermission : K::NoPermissionForAnyGroup);
    if (facts.holder) return advice(K::InUse);
    // Held by a process this user may not look into; or, on a pseudo-terminal
    // whose provider we see (so the port is ours to open), locked exclusively
    // by a program that ended without unlocking it: that flag lives as long as
    // the master side, and only root may open past it.
    if (ClassifyPortFailure(code, winCode) == TPortFailure::pfInUseOrRefused)
        return advice(facts.provider ? K::LeftLocked : K::InUseByUnknown);
    return std::nullopt;
}

QString AdviceText(const TPortAdvice& advice, int language)
{
    const bool en = language == kLanguageEnglish;
    const QString com = Q(advice.ComName);
    const QString path = Q(advice.Facts.devicePath);
    const platform::DeviceNodeAccess& access = advice.Facts.access;
    switch (advice.Kind) {
    case TPortAdvice::TKind::NoDevice:
        return en ? QStringLiteral("%1: no device. Is the adapter plugged in?").arg(com)
                  : QStringLiteral("%1: kein Ger\u00e4t. Steckt der Adapter?").arg(com);
    case TPortAdvice::TKind::NoPermission:
        return (en ? QStringLiteral("No permission for %1. Fix: sudo usermod -aG %2 $USER, then log in again.")
                   : QStringLiteral(
                         "Keine Berechtigung f\u00fcr %1. Abhilfe: sudo usermod -aG %2 $USER, danach neu anmelden."))
            .arg(path, Q(access.groupName));
    case TPortAdvice::TKind::NoPermissionForAnyGroup: {
        const QString node = QStringLiteral("%1 %2:%3")
                                 .arg(access.mode, 3, 8, QLatin1Char('0'))
                                 .arg(Q(access.ownerName), Q(access.groupName));
        return (en ? QStringLiteral("No permission for %1 (%2). Fix: have an administrator grant access to the device.")
                   : QStringLiteral(
                         "Keine Berechtigung f\u00fcr %1 (%2). Abhilfe: den Zugriff auf das Ger\u00e4t von einem Administrator freigeben lassen."))
            .arg(path, node);
    }
    case TPortAdvice::TKind::InUse:
        return (en ? QStringLiteral("%1 (%2) is in use by %3 (PID %4).")
                   : QStringLiteral("%1 (%2) wird von %3 (PID %4) benutzt."))
            .arg(com, path, Q(advice.Facts.holder->name))
            .arg(advice.Facts.holder->pid);
    case TPortAdvice::TKind::InUseByUnknown:
        return (en ? QStringLiteral("%1 (%2) is in use by another program.")
                   : QStringLiteral("%1 (%2) wird von einem anderen Programm benutzt."))
            .arg(com, path);
    case TPortAdvice::TKind::LeftLocked:
        return (en ? QStringLiteral("%1 (%2) is still locked by a program that has ended. Fix: restart %3 (PID %4), "
                                    "the program that provides the port.")
                   : QStringLiteral("%1 (%2) ist noch von einem beendeten Programm gesperrt. Abhilfe: das Programm "
                                    "%3 (PID %4), das die Schnittstelle bereitstellt, neu starten."))
            .arg(com, path, Q(advice.Facts.provider->name))
            .arg(advice.Facts.provider->pid);
    }
    return {};
}

void TPortDoctor::OpenFailed(const std::string& comName, std::int32_t code, std::int32_t winCode, int language)
{
    const std::optional<TPortAdvice> advice = AdviceFor(comName, code, winCode, platform::ExaminePort(comName));
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
