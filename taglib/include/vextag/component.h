/* C entry points through which a component host finds, creates and registers the control. */
#pragma once

#include <vextag/export.h>

#ifdef __cplusplus
#include <vextag/vextag.h>
struct VextagControl {
    vextag::Vextag control;
};
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A handle on one control; C++ hosts reach the vextag::Vextag as handle->control. */
typedef struct VextagControl VextagControl;

/* A new control for the programmatic identifier "vbpVextag.Vextag"; NULL for any other. */
VEXTAG_API VextagControl* vextag_create(const char* progId);
/* Destroys a control made by vextag_create; NULL is ignored. */
VEXTAG_API void vextag_release(VextagControl* control);

/* Records the control (identifier and library path) in the per-user component list
   $XDG_DATA_HOME/vextag/components (default ~/.local/share); unregister removes it.
   Both return 0, or the errno of the failure. */
VEXTAG_API int vextag_register_server(void);
VEXTAG_API int vextag_unregister_server(void);

/* 1 when no control lives in the process, so the library may be unloaded; else 0. */
VEXTAG_API int vextag_can_unload_now(void);

#ifdef __cplusplus
}
#endif
