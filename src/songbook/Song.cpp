#include "songbook/Song.h"

QList<Song::Mark*> Song::marks() {
    QList<Mark*> all;
    for (Block& block : blocks) {
        for (Line& line : block.lines) {
            for (Mark& mark : line.marks)
                all << &mark;
        }
    }
    return all;
}

QList<const Song::Mark*> Song::marks() const {
    QList<const Mark*> all;
    for (const Block& block : blocks) {
        for (const Line& line : block.lines) {
            for (const Mark& mark : line.marks)
                all << &mark;
        }
    }
    return all;
}
