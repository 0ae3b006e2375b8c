#pragma once
// A named group of content objects from an <OBJECT_GROUP> block: the object
// menu shows it with its icon. The object and marker lists start empty; the
// menu fills them as it needs.

#include <string>
#include <vector>

class CContentObject;
class CTrackedMarker;

struct ObjectGroup
{
    std::string name = "NONE";
    std::string icon;
    std::vector<CContentObject*> objects;  // not owned
    std::vector<CTrackedMarker*> markers;  // not owned
};
