#include "x11shm.h"

#include <xcb/shm.h>

#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <system_error>
#include <thread>

bool serverHasShm(xcb_connection_t* c)
{
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_shm_id);
    if (!ext || !ext->present)
        return false;
    XcbPtr<xcb_shm_query_version_reply_t> version(
        xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr));
    return version != nullptr;
}

std::unique_ptr<ShmSegment> attachSegment(xcb_connection_t* c, size_t bytes)
{
    const int shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (shmid < 0)
        return nullptr;
    void* addr = shmat(shmid, nullptr, 0);
    if (addr == reinterpret_cast<void*>(-1)) {
        shmctl(shmid, IPC_RMID, nullptr);
        return nullptr;
    }
    auto s = std::make_unique<ShmSegment>();
    s->id = xcb_generate_id(c);
    s->addr = static_cast<uchar*>(addr);
    s->size = bytes;
    XcbPtr<xcb_generic_error_t> err(
        xcb_request_check(c, xcb_shm_attach_checked(c, s->id, static_cast<quint32>(shmid), 0)));
    // Marked for removal now that both sides hold it (or only we do): the memory goes when both
    // let go, even if the program dies first.
    shmctl(shmid, IPC_RMID, nullptr);
    if (err) {
        shmdt(addr);
        return nullptr;
    }
    return s;
}

void dropSegment(xcb_connection_t* c, const ShmSegment& segment)
{
    if (c && !xcb_connection_has_error(c)) {
        xcb_shm_detach(c, segment.id);
        xcb_flush(c);
    }
    shmdt(segment.addr);
}

void populatePages(uchar* addr, size_t bytes)
{
#if defined(MADV_POPULATE_WRITE)
    madvise(addr, bytes, MADV_POPULATE_WRITE);
#else
    Q_UNUSED(addr) Q_UNUSED(bytes)
#endif
}

namespace {

struct Lease {
    std::shared_ptr<XcbLink> link;
    ShmSegment segment;
};

void releaseLease(void* info)
{
    auto* lease = static_cast<Lease*>(info);
    const auto giveBack = [lease] {
        dropSegment(lease->link->xcb(), lease->segment);
        delete lease;
    };
    try {
        std::thread(giveBack).detach();
    } catch (const std::system_error&) {
        giveBack(); // no thread to be had
    }
}

} // namespace

QImage leasedImage(std::shared_ptr<XcbLink> link, const ShmSegment& segment, int width,
                   int height)
{
    auto* lease = new Lease{std::move(link), segment};
    return QImage(lease->segment.addr, width, height, width * 4, QImage::Format_RGB32,
                  releaseLease, lease);
}
