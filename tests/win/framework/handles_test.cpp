// The owning handle wrappers close what they own and treat failure values as empty.
#include "framework/handles.h"

#include <gtest/gtest.h>

namespace {

TEST(HandlesTest, KernelHandleClosesItsHandleAndOwnsNoFailureValue) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, event);
    HANDLE copy = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &copy, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    { fw::KernelHandle owned(copy); EXPECT_EQ(copy, owned.get()); }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(copy, &flags));  // closed with its owner
    EXPECT_TRUE(GetHandleInformation(event, &flags));
    CloseHandle(event);

    EXPECT_FALSE(static_cast<bool>(fw::KernelHandle(INVALID_HANDLE_VALUE)));
    EXPECT_FALSE(static_cast<bool>(fw::KernelHandle(nullptr)));
}

TEST(HandlesTest, ScHandleOwnsAServiceManagerConnection) {
    fw::ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    ASSERT_TRUE(static_cast<bool>(manager));
    fw::ScHandle missing(OpenServiceA(manager.get(), "NoSuchServiceHere", SERVICE_QUERY_STATUS));
    EXPECT_FALSE(static_cast<bool>(missing));
}

}  // namespace
