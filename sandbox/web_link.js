// The page's address for the sandbox's scene links (scene_link.h): read when the page starts, and
// given a new link when the player shares the scene.
mergeInto(LibraryManager.library, {
  // Writes the page's address into buffer (size bytes with the final 0) and returns its length;
  // with takeLink, first takes the fragment out of the address, leaving the page's history alone.
  ondrel_sandbox_page_address: function (buffer, size, takeLink) {
    var address = String(location.href);
    if (takeLink) {
      try {
        history.replaceState(history.state, '', location.pathname + location.search);
      } catch (e) {
        console.error('ondrel-sandbox: the address keeps its link: ' + e);
      }
    }
    if (buffer) stringToUTF8(address, buffer, size);
    return lengthBytesUTF8(address);
  },
  // Puts the link into the page's address, without a new entry in its history, and offers it to
  // the clipboard where the browser allows (it may not, without the user's gesture or over http).
  ondrel_sandbox_show_link: function (link) {
    var text = UTF8ToString(link);
    try {
      history.replaceState(history.state, '', text);
    } catch (e) {
      console.error('ondrel-sandbox: the address cannot take the link: ' + e);
    }
    if (navigator.clipboard && navigator.clipboard.writeText) {
      navigator.clipboard.writeText(text).catch(function () {});
    }
  },
});
