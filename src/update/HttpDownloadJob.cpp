#include "update/HttpDownloadJob.h"

HttpDownloadJob::HttpDownloadJob() : m_hEvent(::CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

HttpDownloadJob::~HttpDownloadJob() {
    // The worker first, then the event; the strings go after the body.
    m_pWorker.reset();
    m_hEvent.reset();
}
