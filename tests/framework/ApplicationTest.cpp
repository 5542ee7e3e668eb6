#include "framework/Application.h"

#include <gtest/gtest.h>

#include <thread>

#include "app/CMessageLoop.h"

namespace qx {
namespace {

// Takes every pending binding of this thread, so that each test starts clean.
void DrainBindings() {
    while (Application::Instance().TakePendingBinding() != nullptr) {
    }
}

TEST(ApplicationTest, BindingsAreTakenMostRecentFirstAndOnlyOnce) {
    DrainBindings();
    int outer = 0;
    int inner = 0;
    Application& application = Application::Instance();
    application.AddPendingBinding(&outer);
    application.AddPendingBinding(&inner);
    EXPECT_EQ(application.TakePendingBinding(), &inner);
    EXPECT_EQ(application.TakePendingBinding(), &outer);
    EXPECT_EQ(application.TakePendingBinding(), nullptr);
}

TEST(ApplicationTest, AnotherThreadNeitherTakesNorRemovesThisThreadsBinding) {
    DrainBindings();
    int mine = 0;
    int theirs = 0;
    Application& application = Application::Instance();
    application.AddPendingBinding(&mine);
    void* takenThere = &mine;
    void* takenThereAfterOwn = nullptr;
    std::thread other([&] {
        application.RemovePendingBinding(&mine);
        takenThere = application.TakePendingBinding();
        application.AddPendingBinding(&theirs);
        takenThereAfterOwn = application.TakePendingBinding();
    });
    other.join();
    EXPECT_EQ(takenThere, nullptr);
    EXPECT_EQ(takenThereAfterOwn, &theirs);
    EXPECT_EQ(application.TakePendingBinding(), &mine);
}

TEST(ApplicationTest, RemovingABindingLeavesTheOthersInOrder) {
    DrainBindings();
    int first = 0;
    int removed = 0;
    int last = 0;
    Application& application = Application::Instance();
    application.AddPendingBinding(&first);
    application.AddPendingBinding(&removed);
    application.AddPendingBinding(&last);
    application.RemovePendingBinding(&removed);
    application.RemovePendingBinding(&removed);
    EXPECT_EQ(application.TakePendingBinding(), &last);
    EXPECT_EQ(application.TakePendingBinding(), &first);
    EXPECT_EQ(application.TakePendingBinding(), nullptr);
}

TEST(ApplicationTest, OneMessageLoopPerThread) {
    Application& application = Application::Instance();
    CMessageLoop loop;
    CMessageLoop second;
    ASSERT_TRUE(application.AddMessageLoop(&loop));
    EXPECT_FALSE(application.AddMessageLoop(&second));
    EXPECT_EQ(application.MessageLoop(), &loop);
    CMessageLoop* seenThere = &loop;
    bool addedThere = false;
    std::thread([&] {
        seenThere = application.MessageLoop();
        addedThere = application.AddMessageLoop(&second);
        application.RemoveMessageLoop();
    }).join();
    EXPECT_EQ(seenThere, nullptr);
    EXPECT_TRUE(addedThere);
    EXPECT_EQ(application.MessageLoop(), &loop);
    EXPECT_TRUE(application.RemoveMessageLoop());
    EXPECT_FALSE(application.RemoveMessageLoop());
    EXPECT_EQ(application.MessageLoop(), nullptr);
}

}  // namespace
}  // namespace qx
