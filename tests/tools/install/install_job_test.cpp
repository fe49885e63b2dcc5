#include "tools/install/install_job.h"

#include <gtest/gtest.h>

#include <string>

#include "gui/catalog.h"
#include "tools/install/install_context.h"

TEST(InstallStepCaptions, OneForEachFileToWriteBetweenTheFixedOnes)
{
    cStringArray texts;
    texts.strings.Resize(5);
    const wchar_t* section[] = {L"Preparing", L"Unpacking %s...", L"Backup", L"Applying", L"Removing"};
    for (int i = 0; i < 5; ++i)
        texts.strings[i].Assign(section[i]);
    cInstallContext context(L"", L"", 0);
    const wchar_t* targets[] = {L"C:/P/a.exe", L"C:/P/same.dll", L"C:/P/b.txt"};
    for (const wchar_t* target : targets) {
        cInstallItem* item = list_append(context.file_list);
        item->target_path.Assign(target);
        item->access[2] = target == targets[1] ? install_item_skipped : 5;
    }
    _classbuf<_guardchar<wchar_t>> captions;
    ASSERT_TRUE(build_install_step_captions(context, &texts, captions));
    const wchar_t* expected[] = {L"Preparing", L"Unpacking C:\\P\\a.exe...", L"Unpacking C:\\P\\b.txt...", L"Backup",
                                 L"Applying", L"Removing"};
    ASSERT_EQ(captions.Count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_STREQ(captions[i].Text(), expected[i]) << i;

    // Every file skipped: the first caption and the three closing ones.
    for (auto* node = context.file_list.first; node; node = node->next)
        node->element.access[2] = install_item_skipped;
    ASSERT_TRUE(build_install_step_captions(context, &texts, captions));
    EXPECT_EQ(captions.Count(), 4);
    EXPECT_STREQ(captions[1].Text(), L"Backup");
}
