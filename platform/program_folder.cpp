// The start-folder rule: the current folder when it holds the program's files, else the
// executable's folder when that holds them all, else ../share/<program> and then ../share/ondrel
// from the executable's folder (an installed program: bin/ beside share/), else a line on standard
// error saying what each folder lacks. The system's part is in program_folder_internal.h.
#include "platform/program_folder.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/program_folder_internal.h"

namespace {

// ".\Media\Sprites.bmp" as a path below a folder, with the system's separator: "Media/Sprites.bmp".
std::string NativeName(const char* name) {
    std::string path(name);
    for (char& c : path)
        if (c == '\\' || c == '/') c = folder::Separator();
    const std::string here{'.', folder::Separator()};
    while (path.rfind(here, 0) == 0) path.erase(0, 2);
    return path;
}

// The files of `names` that `place` lacks.
std::vector<std::string> Missing(const std::string& place, const std::vector<std::string>& names) {
    std::vector<std::string> missing;
    for (const std::string& name : names)
        if (!folder::HoldsFile(place + folder::Separator() + name)) missing.push_back(name);
    return missing;
}

// ../share/<name> from `folder`, written out: the folder's parent, then share and the name.
std::string SharedData(const std::string& folder, const std::string& name) {
    const size_t separator = folder.find_last_of(folder::Separator());
    const std::string parent = separator == std::string::npos ? std::string(".") : folder.substr(0, separator);
    return parent + folder::Separator() + "share" + folder::Separator() + name;
}

std::string Listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

}  // namespace

bool EnterProgramFolder(const char* program, const char* const* files) {
    std::vector<std::string> names;
    for (const char* const* f = files; f && *f; ++f) names.push_back(NativeName(*f));
    const std::string here = folder::Current();
    const std::vector<std::string> missingHere = Missing(here, names);
    if (missingHere.empty()) return true;

    const bool named = program && *program;
    const std::string name = named ? program : "program";
    const std::string beside = folder::OfExecutable();
    if (beside.empty()) {
        std::fprintf(stderr, "%s: cannot find %s in %s (the current folder); the program's own folder could not be told. "
                     "Going on without them.\n", name.c_str(), Listed(missingHere).c_str(), here.c_str());
        return false;
    }
    // The program's folder, then its own data folder, then Ondrel's, which its own programs share.
    std::vector<std::string> places = {beside};
    if (named && name != "ondrel") places.push_back(SharedData(beside, name));
    places.push_back(SharedData(beside, "ondrel"));
    std::string lacks;
    for (const std::string& place : places) {
        const std::vector<std::string> missing = Missing(place, names);
        if (missing.empty() && folder::Enter(place)) return true;
        lacks += (lacks.empty() ? "" : "; ") + place + (place == beside ? " (the program's folder)" : "") + " lacks " +
                 Listed(missing);
    }
    std::fprintf(stderr, "%s: cannot find %s in %s (the current folder); %s. Going on without them.\n",
                 name.c_str(), Listed(missingHere).c_str(), here.c_str(), lacks.c_str());
    return false;
}
