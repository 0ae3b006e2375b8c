#pragma once
// The process-wide texture cache shared by effects, the hider and the HUD.

class CTextureStore
{
public:
    static CTextureStore* Instance();

private:
    CTextureStore() = default;
};
