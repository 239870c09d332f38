#include "base/result.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fatal.h"

namespace zantor {
namespace {

std::string Fatal(const char* text) {
  char box[500];
  BuildFatalText(text, box);
  return box;
}

const std::string kHeading = "Unrecoverable error occured.\nPlease report to the author!\n";

TEST(ResultTest, HostCodes) {
  EXPECT_EQ(ToHostCode(kSuccess), 0);
  EXPECT_EQ(ToHostCode(HostFailure(15)), 15);
  EXPECT_EQ(ToHostCode(ShownFailure("x")), 1);
  EXPECT_EQ(ToHostCode(ShownFailure("x", 12)), 12);
  EXPECT_EQ(ToHostCode(NoMemory), 11);
  EXPECT_EQ(ToHostCode(Result{Result::kFailed | Result::kHasSystemCode | Result::kShow, 0, 5, nullptr}), 1);
  EXPECT_EQ(ToHostCode(Result{Result::kFailed | Result::kHasSystemCode, 17, 8, nullptr}), 17);
  // A system code without its flag means nothing.
  EXPECT_EQ(ToHostCode(Result{Result::kFailed, 0, 8, nullptr}), 1);
}

TEST(ResultTest, BoxesFollowShowAndTheSystemCode) {
  auto plan = [](const Result& r) {
    ReportPlan p = PlanReport(r);
    return std::string() + (p.noMemory ? "N" : "") + (p.systemText ? "S" : "") + (p.message ? "M" : "") +
           (p.wide ? "W" : "");
  };
  EXPECT_EQ(plan(kSuccess), "");
  EXPECT_EQ(plan(HostFailure(12)), "");
  EXPECT_EQ(plan(Result{Result::kFailed, 0, 0, "not shown"}), "");
  EXPECT_EQ(plan(Result{Result::kShow, 0, 0, "not failed"}), "");
  EXPECT_EQ(plan(NoMemory), "N");
  EXPECT_EQ(plan(ShownFailure("text")), "M");
  EXPECT_EQ(plan(Result{Result::kFailed | Result::kHasSystemCode | Result::kShow, 0, 5, nullptr}), "S");
  EXPECT_EQ(plan(Result{Result::kFailed | Result::kHasSystemCode | Result::kShow, 0, 5, "both"}), "SM");
  EXPECT_EQ(plan(Result{Result::kFailed | Result::kShow | Result::kWideMessage, 0, 0, u"wide"}), "MW");
}

TEST(ResultTest, FatalTextTrimsTheInternalErrorPrefix) {
  EXPECT_EQ(Fatal(nullptr), kHeading);
  EXPECT_EQ(Fatal("RH01"), kHeading + "\nInternal error:\nRH01");
  EXPECT_EQ(Fatal("Internal error UHB01"), kHeading + "\nInternal error:\nUHB01");
  EXPECT_EQ(Fatal("internal error: x"), kHeading + "\nInternal error:\nx");
  EXPECT_EQ(Fatal("Internal errorQ"), kHeading + "\nInternal error:\nQ");
  EXPECT_EQ(Fatal("Internal error"), kHeading + "\nInternal error:\n");
  EXPECT_EQ(Fatal("Internal erro"), kHeading + "\nInternal error:\nInternal erro");
  EXPECT_EQ(Fatal("Index out of list"), kHeading + "\nInternal error:\nIndex out of list");
  std::string longText(450, 'z');
  EXPECT_EQ(Fatal(longText.c_str()), kHeading + "\nInternal error:\n" + std::string(400, 'z'));
}

TEST(ResultTest, NoOwnerWithoutWindows) { EXPECT_EQ(FindOwnerWindow(), nullptr); }

#ifndef _WIN32
// Without boxes the texts go to standard error, system text first.
TEST(ResultTest, ReportWritesEachBoxAsALine) {
  testing::internal::CaptureStderr();
  ReportResult(NoMemory);
  ReportResult(HostFailure(12));
  ReportResult(Result{Result::kFailed | Result::kHasSystemCode | Result::kShow, 0, 5, "Cannot go on"});
  ReportResult(Result{Result::kFailed | Result::kShow | Result::kWideMessage, 0, 0, u"Caf\u00e9 \U0001F600"});
  ShowErrorBox("Function not supported");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Zantor error: Not enough memory\n"
            "Zantor error: System error 5\n"
            "Zantor error: Cannot go on\n"
            "Zantor error: Caf\xC3\xA9 \xF0\x9F\x98\x80\n"
            "Zantor error: Function not supported\n");
}
#endif

TEST(ResultDeathTest, FatalErrorStopsAtOnce) {
  EXPECT_FATAL(FatalError("Internal error PF02"), "^Zantor error: Unrecoverable error occured.\nPlease report "
                                                  "to the author!\n\nInternal error:\nPF02\n$");
}

}  // namespace
}  // namespace zantor
