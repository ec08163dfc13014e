#include "tests/support/LoopbackHosts.h"

#include "monitor/main.h"

std::string LoopbackHost(int index)
{
    const int host = index + 1;
    return "127.0." + std::to_string(host / 256) + "." + std::to_string(host % 256);
}

void SetLoopbackHosts(TMainForm &form)
{
    form.MainViewSGrid->SetRowCount(MaxHosts + 2);
    for (int i = 0; i < MaxHosts; ++i)
        form.MainViewSGrid->SetCell(3, i + 1, LoopbackHost(i));
}
