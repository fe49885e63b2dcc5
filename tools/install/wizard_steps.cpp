#include "tools/install/wizard_steps.h"

bool cWizardSteps::Add(uint32_t kind, int32_t caption_right)
{
    if (count >= wizard_page_limit)
        return false;
    kinds[count] = kind;
    caption_rights[count] = caption_right;
    ++count;
    return true;
}

void cWizardSteps::SetCaptionRight(int32_t index, int32_t caption_right)
{
    if (index >= 0 && index < count)
        caption_rights[index] = caption_right;
}

int32_t cWizardSteps::IndexOf(uint32_t kind) const
{
    for (int32_t i = 0; i < count; ++i)
        if (kinds[i] == kind)
            return i;
    return -1;
}

bool cWizardSteps::CanSwitchTo(int32_t index, bool busy) const
{
    return !busy && index != current && index >= 0 && index < count;
}

int32_t cWizardSteps::StepAt(int32_t x, int32_t y, bool busy) const
{
    if (busy || CurrentKind() == WIZARD_PAGE_FINISH)
        return -1;
    if (x < wizard_steps_left || y < wizard_steps_top || y >= wizard_steps_top + wizard_step_height * count)
        return -1;
    int32_t index = (y - wizard_steps_top) / wizard_step_height;
    if (index >= current || x >= caption_rights[index] || kinds[index] == WIZARD_PAGE_INSTALL)
        return -1;
    return index;
}
