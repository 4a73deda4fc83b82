#pragma once

// MIT-SHM segments: memory the X server writes a read of the screen straight into, and pictures
// that live over such a segment until they are let go.

#include "x11connection.h"

#include <QImage>

#include <xcb/shm.h>

#include <cstddef>
#include <memory>

// A System V shared-memory segment that the X server has attached too.
struct ShmSegment {
    xcb_shm_seg_t id = 0;
    uchar* addr = nullptr;
    size_t size = 0;
};

// Whether the server offers shared memory at all (it may still refuse to attach ours, from
// another machine).
bool serverHasShm(xcb_connection_t* c);

// A new segment of `bytes` that the server has attached, or null when the system gives no shared
// memory or the server cannot attach it. Its pages are not made yet.
std::unique_ptr<ShmSegment> attachSegment(xcb_connection_t* c, size_t bytes);

// The server lets go of the segment (a closed connection has already made it), then we do.
void dropSegment(xcb_connection_t* c, const ShmSegment& segment);

// Makes the pages of fresh memory in one call, not one fault at a time. Only a hint.
void populatePages(uchar* addr, size_t bytes);

// A picture over the segment's pixels, RGB32, `width` pixels to a line. The segment is given
// back when the last copy of the picture goes, on a short-lived thread of its own: giving back a
// screen's worth of small pages costs milliseconds, which a new picture need not wait for.
QImage leasedImage(std::shared_ptr<XcbLink> link, const ShmSegment& segment, int width,
                   int height);
