#include "extension_library.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FakeFramework : public vexa::ExtensionFramework {
public:
    bool refuses_module = false;
    bool allocation_fails = false;
    std::vector<std::string> calls;
    void* instance_seen = nullptr;

    bool InitializeModule(void* instance) override {
        calls.push_back("initialize");
        instance_seen = instance;
        return !refuses_module;
    }
    bool ChainLibrary() override {
        calls.push_back("chain");
        return !allocation_fails;
    }
    void TerminateModule() override { calls.push_back("terminate"); }
};

int instance_token;

TEST(ExtensionLibrary, AttachInitializesThenChainsTheLibrary) {
    FakeFramework framework;
    EXPECT_TRUE(vexa::OnLoaderEvent(framework, vexa::kProcessAttach, &instance_token));
    EXPECT_EQ(framework.calls, (std::vector<std::string>{"initialize", "chain"}));
    EXPECT_EQ(framework.instance_seen, &instance_token);
}

TEST(ExtensionLibrary, RefusedModuleRefusesTheLoadWithoutChaining) {
    FakeFramework framework;
    framework.refuses_module = true;
    EXPECT_FALSE(vexa::OnLoaderEvent(framework, vexa::kProcessAttach, &instance_token));
    EXPECT_EQ(framework.calls, (std::vector<std::string>{"initialize"}));
}

TEST(ExtensionLibrary, FailedAllocationStillLoads) {
    FakeFramework framework;
    framework.allocation_fails = true;
    EXPECT_TRUE(vexa::OnLoaderEvent(framework, vexa::kProcessAttach, &instance_token));
    EXPECT_EQ(framework.calls, (std::vector<std::string>{"initialize", "chain"}));
}

TEST(ExtensionLibrary, DetachTerminatesAndThreadEventsDoNothing) {
    FakeFramework framework;
    EXPECT_TRUE(vexa::OnLoaderEvent(framework, vexa::kThreadAttach, &instance_token));
    EXPECT_TRUE(vexa::OnLoaderEvent(framework, vexa::kThreadDetach, &instance_token));
    EXPECT_TRUE(framework.calls.empty());
    EXPECT_TRUE(vexa::OnLoaderEvent(framework, vexa::kProcessDetach, &instance_token));
    EXPECT_EQ(framework.calls, (std::vector<std::string>{"terminate"}));
}

}  // namespace
