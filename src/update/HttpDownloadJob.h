#pragma once
// The record of one download, owned by the player window. Nothing in the client fills it;
// a downloader would.
#include <windows.h>

#include <memory>
#include <string>

#include "winkit/handles.h"

// The downloader's worker, owned by the record and deleted through its virtual destructor.
class HttpDownloadWorker {
public:
    virtual ~HttpDownloadWorker() = default;
};

class HttpDownloadJob {
public:
    HttpDownloadJob();
    ~HttpDownloadJob();
    HttpDownloadJob(const HttpDownloadJob&) = delete;
    HttpDownloadJob& operator=(const HttpDownloadJob&) = delete;

    std::wstring m_strUrl;
    std::wstring m_strFilePath;
    int m_nTotalBytes = 0;
    int m_nReceivedBytes = 0;
    std::unique_ptr<HttpDownloadWorker> m_pWorker;
    int m_nState = 0;
    // Manual reset, initially signalled; empty if it could not be made.
    winkit::unique_handle m_hEvent;
};
