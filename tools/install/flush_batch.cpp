#include "tools/install/flush_batch.h"

#include "base/parallel_for.h"

cFlushBatch::cFlushBatch() : files(capacity), flushed(capacity), count(0) {}

cFlushBatch::~cFlushBatch()
{
    CloseAll();
}

cFileIO* cFlushBatch::Next()
{
    if (count >= files.Count() || !flushed.Data())
        return nullptr;
    return &files[count];
}

void cFlushBatch::FlushOne(void* context, uint32_t index)
{
    cFlushBatch* batch = static_cast<cFlushBatch*>(context);
    batch->flushed[int32_t(index)] = batch->files[int32_t(index)].Flush() ? 1 : 0;
}

bool cFlushBatch::FlushAll(_guardchar<wchar_t>& failed_path)
{
    parallel_for(uint32_t(count), FlushOne, this);
    bool all = true;
    for (int32_t i = 0; i < count; ++i)
        if (!flushed[i] && all) {
            failed_path.Assign(files[i].Path());
            all = false;
        }
    CloseAll();
    return all;
}

void cFlushBatch::CloseAll()
{
    for (int32_t i = 0; i < files.Count(); ++i)
        files[i].Close();
    count = 0;
}
