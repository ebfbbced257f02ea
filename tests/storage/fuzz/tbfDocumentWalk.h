// Hands the bytes of one untrusted document to every document consumer, each on a fresh
// tbfReaderAsciiFILE, and lets it save what it read through a tbfWriterAsciiFILE. Shared by
// the libFuzzer target and the corpus replay test. Sanitizers catch memory faults; the
// walk itself checks what the reader hands out and that saving is stable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class tbfReader;
class tbfWriter;

// One way of reading a document and saving it again
struct DocumentConsumer {
    const char* name;
    void (*readAndSave)(tbfReader* in, tbfWriter* out);
    // Reading what it saved and saving again gives the same bytes
    bool savesStably;
};

// Every consumer the walk runs; a document class adds its own reader here
extern const DocumentConsumer kDocumentConsumers[];
extern const int kNumDocumentConsumers;

struct DocumentWalkReport {
    int itemsRead = 0;    // items seen by the consumers, all passes included
    std::string failure;  // empty when every check held
};

// Runs every consumer on the bytes; never stops the program for a failed check
DocumentWalkReport WalkDocument(const uint8_t* data, size_t size);

// Runs one consumer on the bytes, with the same checks; the fuzz targets take one each
DocumentWalkReport WalkDocumentWith(const DocumentConsumer& consumer, const uint8_t* data,
                                    size_t size);

// Records a failed check of a consumer in the walk in progress (the first one counts)
void ReportWalkFailure(const char* check, const char* item);

// The generic consumer: enters every node except those whose opening item starts with
// "x", stops reading a node early after an item "stop", probes every getter on every item,
// and writes each item it read back at the same depth
void CopyDocumentTree(tbfReader* in, tbfWriter* out);

// The doll's document reader and writer (DollDocumentConsumer.cpp): reads any bytes into a
// doll, checks the doll's consistency, and saves it
void ReadDollAndSave(tbfReader* in, tbfWriter* out);

// The sketch doll's (SketchDocumentConsumer.cpp): reads any bytes into a sketch doll, checks
// it and its lines, and saves it loaded twice over (each load reverses the lines)
void ReadSketchDollAndSave(tbfReader* in, tbfWriter* out);
