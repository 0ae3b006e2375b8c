// VexamarkMFC: the desktop program (see CVexamarkMFCApp).
#include "CVexamarkMFCApp.h"

int main(int argc, char** argv)
{
    return CVexamarkMFCApp::Run(argc, argv);
}
