// The page as one text, made at build time from page.html with page.css and
// page.js put in (embed_page.cmake), with holes for the file's data.
#pragma once

namespace brx::tool {

extern const char kAtlasPageTemplate[];

}  // namespace brx::tool
