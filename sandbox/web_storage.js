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
  ondrel_sandbox_storage_flush__deps: ['$FS'],
  ondrel_sandbox_storage_flush: function () {
    FS.syncfs(false, function () {});
  },
});
