// The program under a long series of random steps, each with a fault of the
// local web service on the request it makes, started once and ended with its
// own Exit. Besides each step's outcome, what the program holds (GDI and USER
// objects, handles) must stay flat from a baseline taken after warm-up, and
// no temporary picture may stay behind.
//
// QX_SOAK_SEED picks the random series (printed, so a failing run can be
// repeated); QX_SOAK_STEPS the number of steps (more than the short form's
// make the long form).
#include "SoakRun.h"
#include "res/resource.h"
#include "tests/support/LocalService.h"
#include "tests/support/ProcessResources.h"
#include "tests/support/RemoteWindows.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace qx::test {
namespace {

constexpr unsigned kDefaultSeed = 20261207;
constexpr int kShortFormSteps = 30;
constexpr int kWarmUpSteps = 4;

// Allowed growth from the baseline: what caches and pooled connections may
// hold at one moment, far below one object per step.
constexpr long kGdiMargin = 8;
constexpr long kUserMargin = 3;
constexpr long kHandleMargin = 16;

unsigned long EnvironmentNumber(const char* name, unsigned long fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && text[0] != '\0' ? std::strtoul(text, nullptr, 10) : fallback;
}

void ExpectFlat(const char* what, long baseline, long end, long margin) {
    if (baseline < 0 || end < 0) {
        ADD_FAILURE() << what << " could not be measured";
        return;
    }
    EXPECT_LE(end, baseline + margin) << what << " grew from " << baseline << " to " << end;
}

std::vector<std::string> LeftoverPictures() {
    std::vector<std::string> left = TempFilesMatching("qxp*.tmp");
    for (const char* name : {"hotel_image.jpg", "wait_image.jpg"}) {
        if (FileExists(TempFile(name))) {
            left.push_back(name);
        }
    }
    return left;
}

// Waits until every fault the service may still be playing has ended, so
// that no abandoned fetch holds anything while the program is measured.
ResourceSample QuietSample(const SoakRun& run, const ProcessResources& resources) {
    Sleep(run.MsUntilFaultsEnd() + 2000);
    return resources.Take();
}

TEST(Soak, RandomStepsUnderFaultsKeepTheProgramAnsweringAndFlat) {
    const auto seed = static_cast<unsigned>(EnvironmentNumber("QX_SOAK_SEED", kDefaultSeed));
    const auto steps = static_cast<int>(EnvironmentNumber("QX_SOAK_STEPS", kShortFormSteps));
    const bool longForm = steps > kShortFormSteps;
    std::printf("soak: seed %u, %d steps, %s form\n", seed, steps, longForm ? "long" : "short");
    std::fflush(stdout);
    ClearFaults();
    for (const std::string& name : LeftoverPictures()) {
        DeleteFileA(TempFile(name.c_str()).c_str());
    }
    const DWORD start = GetTickCount();
    Program program(WindowsPathOf("QX_FRONT_EXE"));
    ASSERT_TRUE(program.Started());
    SoakRun run(program, seed, longForm);
    ASSERT_TRUE(run.Start());
    for (int step = 0; step < kWarmUpSteps; ++step) {
        run.RandomStep();
    }
    const ProcessResources resources(program.Handle(), program.Id());
    const ResourceSample baseline = QuietSample(run, resources);
    std::printf("soak: baseline after warm-up: %s\n", baseline.Describe().c_str());
    for (int step = kWarmUpSteps; step < steps && !::testing::Test::HasFatalFailure(); ++step) {
        {
            SCOPED_TRACE("step " + std::to_string(step + 1));
            run.RandomStep();
        }
        if ((step + 1) % 25 == 0) {
            std::printf("soak: %d steps, %lu s, %s\n", step + 1, (GetTickCount() - start) / 1000,
                        resources.Take().Describe().c_str());
            std::fflush(stdout);
        }
    }
    const ResourceSample end = QuietSample(run, resources);
    std::printf("soak: at the end: %s\n", end.Describe().c_str());
    run.PrintTally(stdout);
    ExpectFlat("GDI objects", baseline.gdiObjects, end.gdiObjects, kGdiMargin);
    ExpectFlat("USER objects", baseline.userObjects, end.userObjects, kUserMargin);
    ExpectFlat("handles", baseline.handles, end.handles, kHandleMargin);
    EXPECT_EQ(LeftoverPictures(), std::vector<std::string>()) << "temporary pictures left";

    // Ended while a picture download still waits: nothing of it may stay.
    run.LeaveAStalledDownload();
    Click(run.MainWindow(), IDC_MAIN_EXIT);
    EXPECT_EQ(program.WaitForExit(15000), 0);
    EXPECT_EQ(LeftoverPictures(), std::vector<std::string>()) << "left after the end";
    std::printf("soak: %lu s in all\n", (GetTickCount() - start) / 1000);
}

}  // namespace
}  // namespace qx::test
