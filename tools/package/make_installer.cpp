#include "tools/package/make_installer.h"

#include <string.h>

#include "tools/package/installer_version.h"
#include "tools/package/make_log.h"
#include "tools/package/pe_layout.h"
#include "tools/shell/self_command_block.h"

namespace {

// make's message on a version resource that is too small counts the new one
// without its fixed file info, as the message has always given it.
const uint32_t fixed_file_info_size = 52;

// A range of the bare manager that the installer changes.
struct cChange {
    uint32_t offset;
    uint32_t length;  // 0 for the block itself, which the template stands for
};

// The changes in rising order of offset, as the block's records must be.
void sort_changes(cChange* changes, int count)
{
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && changes[j].offset < changes[j - 1].offset; --j) {
            cChange earlier = changes[j - 1];
            changes[j - 1] = changes[j];
            changes[j] = earlier;
        }
}

// Fills the image's block with the bare bytes of every change.
int32_t fill_block(const uint8_t* bare, uint32_t size, uint32_t block_offset, const cPeLayout& layout,
                   uint8_t* image, cMakeLog& log)
{
    cChange changes[3] = {{layout.optional_header_offset, layout.optional_header_size},
                          {block_offset, 0},
                          {layout.version_offset, layout.version_size}};
    sort_changes(changes, 3);
    cCommandBlockFiller filler(image + block_offset, size, block_offset, size);
    for (const cChange& change : changes) {
        bool added = change.offset == block_offset
                         ? filler.AddBlockRecord()
                         : filler.AddRecord(change.offset, bare + change.offset, uint16_t(change.length));
        if (!added) {
            log.Print("(e) The undo records do not fit in the block!\n");
            return MAKE_DOES_NOT_FIT;
        }
    }
    if (!filler.Finish()) {
        log.Print("(e) The changed ranges overlap!\n");
        return MAKE_DOES_NOT_FIT;
    }
    return MAKE_DONE;
}

}  // namespace

int32_t make_installer_image(const uint8_t* bare, uint32_t size, uint32_t block_offset, const cPackage& package,
                             uint32_t day_number, _typebuf<uint8_t>& image, cMakeLog& log)
{
    cPeLayout layout;
    int32_t result = read_pe_layout(bare, size, layout, log);
    if (result != MAKE_DONE)
        return result;
    if (layout.version_size > 65535) {
        log.Print("(e) The version resource is too big for its undo record (0x%X)!\n", layout.version_size);
        return MAKE_DOES_NOT_FIT;
    }
    if (uint64_t(block_offset) + command_block_size > size) {
        log.Print("(e) No iCmd section in \"self\"!\n");
        return MAKE_NOT_A_MANAGER;
    }
    _typebuf<uint8_t> version;
    uint32_t needed;
    if (!build_installer_version(package, day_number, layout.version_size, version, needed)) {
        log.Print("(e) New expected version is too big (0x%X)!\n", needed - fixed_file_info_size);
        return MAKE_DOES_NOT_FIT;
    }
    log.Print("(i) Created new version info\n");
    image.Resize(int32_t(size));
    if (!image.Data()) {
        log.Print("(e) Unable to read pelmaro!\n");
        return MAKE_SAVE_FAILED;
    }
    memcpy(image.Data(), bare, size);
    result = fill_block(bare, size, block_offset, layout, image.Data(), log);
    if (result != MAKE_DONE)
        return result;
    memcpy(image.Data() + layout.version_offset, version.Data(), layout.version_size);
    memset(image.Data() + layout.certificate_entry_offset, 0, 8);
    memset(image.Data() + layout.checksum_offset, 0, 4);
    return MAKE_DONE;
}
