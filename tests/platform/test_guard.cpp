#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/guard.h"
#include "support/scripted_prompts.h"

using namespace platform;

TEST(Guard, TitleIsTheProgramNameCapitalised) {
    EXPECT_EQ(applicationTitleFor("kolbax"), "Kolbax");
    EXPECT_EQ(applicationTitleFor("KOLBAX.EXE"), "Kolbax");
}

TEST(Guard, RuntimeErrorsBecomeAnErrorBoxAndStateChangedBeforeStays) {
    support::ScriptedPrompts prompts;
    int changed = 0;
    runGuarded(prompts, [&] {
        changed = 1;
        throw InOutError(28);
    });
    EXPECT_EQ(changed, 1);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, "error");
    EXPECT_EQ(prompts.shown[0].caption, applicationTitle());
    EXPECT_EQ(prompts.shown[0].text, "Disk full");
}
