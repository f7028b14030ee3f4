/* What libvextag exports. The library is built with hidden symbols by default; VEXTAG_API marks
   the public classes and functions, the only names a host can link against. */
#pragma once

#define VEXTAG_API __attribute__((visibility("default")))
