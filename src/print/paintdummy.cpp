// Keeps labelpaint a valid library while it has no other sources of its own.
