// For emcc only: the page's calls that the module imports (web_parts.h), so
// that the link knows them. vivuvev.js provides them when it loads the module.
mergeInto(LibraryManager.library, {
  present_rectangles: function () {},
  show_frame_rate: function () {},
});
