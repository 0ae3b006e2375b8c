#pragma once
// One animation of a skinned character, as its skin configuration file names
// it in an <ANIMATION> block:
//
//   <ANIMATION>
//       <FILE> models/characters/walker/wave.xaf    Cal3D animation (.xaf or .caf)
//       <NAME> wave                                 how keys and the engine address it
//       <EVENT> NONE                                kept, not used
//       <TYPE> 0                                    0: an action played on request;
//                                                   1: also a cycle that loops from the start
//       <LENGTH> 2.0                                kept, not used (the file has its duration)
//   </ANIMATION>
//
// Once loaded it knows its animation's id in the character's Cal3D core
// model (-1 until then). Running it belongs to CSkinnedModel, which owns its
// animations by value.

#include <string>

class CSkinnedAnimation
{
public:
    enum Type
    {
        TYPE_ACTION = 0,
        TYPE_CYCLE = 1
    };

    std::string file = "NULL";
    std::string name = "NULL";
    std::string event = "NULL";
    int type = TYPE_ACTION;
    float length = 0.f;
    int coreId = -1;  // id in the Cal3D core model; -1 when not loaded

    bool IsLoaded() const { return coreId >= 0; }
    bool IsCycle() const { return type == TYPE_CYCLE; }
};
