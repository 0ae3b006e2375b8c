// Vexamark_basic: the smallest host of the engine. It hands its command line
// to the engine, lets the engine open its own window, runs the frame loop
// until the engine reports the end, and shuts the engine down.
#include "CVexaBox.h"

int main(int argc, char** argv)
{
    CVexaBox* box = new CVexaBox();
    box->Init(argc, argv, "Data/dataList.dat", false, false, false, false, 0);
    while (box->Update(0.01f)) box->Render();
    box->CleanUp();
    delete box;
    return 0;
}
