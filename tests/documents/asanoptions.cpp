// Under AddressSanitizer, Qt WebEngine 6.4 (Debian's build) frees an object inside its own
// library with a sized delete of another size, when a page is destroyed
// (~QWebEnginePagePrivate -> ~WebContentsAdapter -> Chromium). That check alone is turned
// off for this program; every other check stays on, and ASAN_OPTIONS may still set it.
extern "C" __attribute__((used, visibility("default"))) const char* __asan_default_options() {
    return "new_delete_type_mismatch=0";
}
