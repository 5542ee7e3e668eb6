#include "framework/ScopedHandles.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

bool IsLiveBrush(HBRUSH brush) {
    return GetObjectType(brush) == OBJ_BRUSH;
}

HANDLE NewEvent() {
    return CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

TEST(ScopedHandles, DestructionClosesTheHandle) {
    HANDLE event = NewEvent();
    {
        const qx::KernelHandle held(event);
        ASSERT_TRUE(IsOpen(event));
    }
    EXPECT_FALSE(IsOpen(event));
}

TEST(ScopedHandles, MovingHandsOverOwnership) {
    HANDLE event = NewEvent();
    qx::KernelHandle second;
    {
        qx::KernelHandle first(event);
        second = std::move(first);
        EXPECT_FALSE(first);
    }
    EXPECT_TRUE(IsOpen(event));
    const qx::KernelHandle third(std::move(second));
    EXPECT_EQ(third.get(), event);
    EXPECT_FALSE(second);
}

TEST(ScopedHandles, MoveAssignmentAndResetFreeWhatWasHeld) {
    HANDLE replaced = NewEvent();
    HANDLE reset = NewEvent();
    qx::KernelHandle target(replaced);
    target = qx::KernelHandle(reset);
    EXPECT_FALSE(IsOpen(replaced));
    EXPECT_TRUE(IsOpen(reset));
    target.reset();
    EXPECT_FALSE(IsOpen(reset));
}

TEST(ScopedHandles, ReleaseHandsOutWithoutFreeing) {
    HANDLE event = NewEvent();
    {
        qx::KernelHandle held(event);
        EXPECT_EQ(held.release(), event);
    }
    EXPECT_TRUE(IsOpen(event));
    CloseHandle(event);
}

TEST(ScopedHandles, FailedOpensCountAsNothingHeld) {
    const qx::KernelHandle missing(CreateFileA("Q:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                               nullptr));
    EXPECT_FALSE(missing);
    EXPECT_FALSE(qx::GdiObject<HBRUSH>());
}

TEST(ScopedHandles, ResetReplacesABrushAndDeletesTheOld) {
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    {
        qx::GdiObject<HBRUSH> brush(red);
        brush.reset(blue);
        EXPECT_FALSE(IsLiveBrush(red));
        EXPECT_TRUE(IsLiveBrush(blue));
    }
    EXPECT_FALSE(IsLiveBrush(blue));
}

// Counts its references; the test reads the count the holder leaves.
class CountedObject : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    ULONG references = 1;
};

TEST(ScopedHandles, ComPointerReleasesItsOneReferenceOnce) {
    CountedObject object;
    {
        qx::ComPtr<IUnknown> first(&object);
        qx::ComPtr<IUnknown> second(std::move(first));
        qx::ComPtr<IUnknown> third;
        third = std::move(second);
        EXPECT_EQ(object.references, 1u);
    }
    EXPECT_EQ(object.references, 0u);
}

TEST(ScopedHandles, ReceiveReleasesTheOldReferenceFirst) {
    CountedObject old;
    qx::ComPtr<IUnknown> pointer(&old);
    IUnknown** slot = pointer.receive();
    EXPECT_EQ(old.references, 0u);
    EXPECT_EQ(*slot, nullptr);
}

}  // namespace
