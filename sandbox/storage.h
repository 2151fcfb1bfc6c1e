// Where the scene folder lives on the web: /scenes in the page's file system, kept in the
// browser's IndexedDB so that saved scenes and the autosave survive reloading the page. On other
// systems the folder is an ordinary one and both calls do nothing.
#pragma once

namespace sandbox {

// Mounts /scenes and waits until what the browser kept is in it. False when the browser keeps
// nothing (no IndexedDB: a private window, storage off): the folder then lasts as long as the page.
bool OpenWebStorage();
// Starts writing the folder's changes to the browser's storage.
void FlushWebStorage();
// On the web, offers the file to the user as a download; elsewhere nothing.
void OfferDownload(const char* path);

}  // namespace sandbox
