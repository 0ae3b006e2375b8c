// A content data file: every <ENTITY> block read into a content object as
// the content manager does (models, entities, effects, sounds, characters,
// media), with the models and files it names looked up in the scratch folder.
#include "FuzzInput.h"

#include "CContentObject.h"
#include "COsgSettings.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    const std::string path = fuzz::WriteInput(data, size, "models.dat");
    COsgSettings file;
    if (path.empty() || !file.Load(path)) return 0;
    int id = 0;
    for (size_t line : file.LinesStartingWith("<ENTITY>"))
    {
        file.GoToLine(line);
        std::unique_ptr<CContentObject> object(new CContentObject);
        object->Load(id++, file);
    }
    return 0;
}
