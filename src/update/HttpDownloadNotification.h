#pragma once
// What a downloader reports about the updater's download. The player window implements it
// and answers RunUpdater by starting the updater.
class IHttpDownloadNotification {
public:
    // The download has started.
    virtual void OnHttpDownloadStart() = 0;
    // The updater is complete at the window's updater path: start it.
    virtual void RunUpdater() = 0;
    // The download failed with this code.
    virtual void HttpDownloadError(int errorCode) = 0;
    // The download has finished.
    virtual void OnHttpDownloadComplete() = 0;

protected:
    ~IHttpDownloadNotification() = default;
};
