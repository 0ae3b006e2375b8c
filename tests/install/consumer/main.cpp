#include <Vexamark/COsgSettings.h>
#include <Vexamark/CVexaBox.h>

#include <cstdio>

int main(int argc, char** argv)
{
    CVexaBox box;
    box.Init(argc, argv, "Data/dataList.dat", false, false, false, false);
    while (box.Update(0.01f)) box.Render();
    box.CleanUp();
    std::printf("consumer ok\n");
    return 0;
}
