#include "cli/outcome.h"

#include "cli/exit_status.h"

namespace {

bool endsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

int OutcomeStatus(const std::wstring& outcome, const std::wstring& success) {
    if (outcome == success) return kExitOk;
    if (endsWith(outcome, L"failed (exception).")) return kExitDevice;
    if (outcome.find(L"response: ") != std::wstring::npos) return kExitRefused;
    return kExitUsage;
}
