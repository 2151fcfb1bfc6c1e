// The start-folder rule: the current folder when it holds the program's files, else the
// executable's folder when that holds them all, else ../share/ondrel from the executable's folder
// (an installed program: bin/ beside share/), else a line on standard error saying what each
// folder lacks. The system's part is in program_folder_internal.h.
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

// ../share/ondrel from `folder`, written out: the folder's parent, then share and ondrel.
std::string SharedData(const std::string& folder) {
    const size_t separator = folder.find_last_of(folder::Separator());
    const std::string parent = separator == std::string::npos ? std::string(".") : folder.substr(0, separator);
    return parent + folder::Separator() + "share" + folder::Separator() + "ondrel";
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

    const std::string beside = folder::OfExecutable();
    const std::vector<std::string> missingBeside = beside.empty() ? names : Missing(beside, names);
    if (!beside.empty() && missingBeside.empty() && folder::Enter(beside)) return true;

    const std::string shared = beside.empty() ? std::string() : SharedData(beside);
    const std::vector<std::string> missingShared = beside.empty() ? names : Missing(shared, names);
    if (!beside.empty() && missingShared.empty() && folder::Enter(shared)) return true;

    const std::string besideText = beside.empty() ? "the program's own folder could not be told"
                                                  : beside + " (the program's folder) lacks " + Listed(missingBeside) +
                                                        "; " + shared + " lacks " + Listed(missingShared);
    std::fprintf(stderr, "%s: cannot find %s in %s (the current folder); %s. Going on without them.\n",
                 program ? program : "program", Listed(missingHere).c_str(), here.c_str(), besideText.c_str());
    return false;
}
