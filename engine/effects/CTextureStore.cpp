#include "CTextureStore.h"

CTextureStore* CTextureStore::Instance()
{
    static CTextureStore* instance = new CTextureStore();
    return instance;
}
