#include "base/result.h"

#include <cstring>

namespace zantor {

int32_t ToHostCode(const Result& r) {
  if (r.ok()) return 0;
  if (r.hostCode != 0) return r.hostCode;
  if ((r.flags & Result::kHasSystemCode) != 0 && r.systemCode == 8) return 11;
  return 1;
}

ReportPlan PlanReport(const Result& r) {
  ReportPlan plan{};
  if (r.ok() || (r.flags & Result::kShow) == 0) return plan;
  if ((r.flags & Result::kHasSystemCode) != 0) {
    plan.noMemory = r.systemCode == 8;
    plan.systemText = !plan.noMemory;
  }
  plan.message = r.message != nullptr;
  plan.wide = plan.message && (r.flags & Result::kWideMessage) != 0;
  return plan;
}

void ReportResult(const Result& r) {
  const ReportPlan plan = PlanReport(r);
  if (plan.noMemory) ShowErrorBox(kNoMemoryText);
  if (plan.systemText) ShowSystemErrorBox(r.systemCode);
  if (plan.wide) {
    ShowWideErrorBox(static_cast<const char16_t*>(r.message));
  } else if (plan.message) {
    ShowErrorBox(static_cast<const char*>(r.message));
  }
}

void BuildFatalText(const char* text, char (&out)[500]) {
  static const char kHeading[] = "Unrecoverable error occured.\nPlease report to the author!\n";
  static const char kDetailHeading[] = "\nInternal error:\n";
  static const char kPrefixTail[] = "nternal error";  // any case of the first letter
  constexpr size_t kPrefixLength = 14;
  constexpr size_t kMaxDetail = 400;

  std::memset(out, 0, sizeof(out));
  std::memcpy(out, kHeading, sizeof(kHeading) - 1);
  if (text == nullptr) return;

  const char* detail = text;
  if (std::strlen(text) >= kPrefixLength && std::memcmp(text + 1, kPrefixTail, kPrefixLength - 1) == 0) {
    detail += kPrefixLength;
    if (*detail == ':') ++detail;
    if (*detail == ' ') ++detail;
  }
  size_t used = sizeof(kHeading) - 1;
  std::memcpy(out + used, kDetailHeading, sizeof(kDetailHeading) - 1);
  used += sizeof(kDetailHeading) - 1;
  size_t detailLength = 0;
  while (detailLength < kMaxDetail && detail[detailLength] != 0) ++detailLength;
  static_assert(sizeof(kHeading) + sizeof(kDetailHeading) + kMaxDetail <= 500, "detail fits");
  std::memcpy(out + used, detail, detailLength);
}

}  // namespace zantor
