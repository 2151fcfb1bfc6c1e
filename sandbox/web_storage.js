// The sandbox's scene folder in a web page: /scenes on IDBFS, the browser's IndexedDB, which
// outlives the page. Opening waits (through ASYNCIFY) until what was kept has been read back.
mergeInto(LibraryManager.library, {
  ondrel_sandbox_storage_open__deps: ['$FS', '$IDBFS'],
  ondrel_sandbox_storage_open__sig: 'i',
  ondrel_sandbox_storage_open: function () {
    return Asyncify.handleSleep(function (wakeUp) {
      try {
        FS.mkdir('/scenes');
        FS.mount(IDBFS, {}, '/scenes');
      } catch (e) {
        wakeUp(0);
        return;
      }
      FS.syncfs(true, function (error) { wakeUp(error ? 0 : 1); });
    });
  },
  // Offers a file of the page's file system to the user as a download (screenshots, recordings),
  // typed by its extension.
  ondrel_sandbox_download__deps: ['$FS'],
  ondrel_sandbox_download: function (path) {
    try {
      var name = UTF8ToString(path);
      var types = { png: 'image/png', gif: 'image/gif', bmp: 'image/bmp' };
      var type = types[name.substring(name.lastIndexOf('.') + 1).toLowerCase()] || 'application/octet-stream';
      var blob = new Blob([FS.readFile(name)], { type: type });
      var link = document.createElement('a');
      link.href = URL.createObjectURL(blob);
      link.download = name.substring(name.lastIndexOf('/') + 1);
      document.body.appendChild(link);
      link.click();
      link.remove();
      setTimeout(function () { URL.revokeObjectURL(link.href); }, 10000);
    } catch (e) {
      console.error('ondrel-sandbox: no download: ' + e);
    }
  },
  ondrel_sandbox_storage_flush__deps: ['$FS'],
  ondrel_sandbox_storage_flush: function () {
    FS.syncfs(false, function () {});
  },
});
