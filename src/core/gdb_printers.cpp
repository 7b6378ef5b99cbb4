// Embeds the gdb pretty-printers (tools/gdb/velmira_printers.py) in the library's
// .debug_gdb_scripts section, so gdb loads them with the library, in every program that links it,
// where its auto-load safe path allows (`add-auto-load-safe-path <libdir>`). The section holds
// one inline Python script: a type byte 4, the script's name and a line feed, the script, a NUL.
// The program never reads it.
#if defined(__ELF__) && defined(VELMIRA_GDB_PRINTERS)
__asm__(
    ".pushsection \".debug_gdb_scripts\", \"MS\", @progbits, 1\n"
    ".byte 4\n"
    ".ascii \"velmira_printers.py\\n\"\n"
    ".incbin \"" VELMIRA_GDB_PRINTERS
    "\"\n"
    ".byte 0\n"
    ".popsection\n");
#endif
