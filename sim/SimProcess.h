#pragma once
// What a process that serves the brokerage sets up before it starts: the
// stand-alone server (roduvede-sim) and the client, whose embedded brokerage
// shares its process.
//  - Its open-file limit raised to what it may be (at most 65,536, room
//    enough for the server's connections; a program walking its descriptors
//    up to the limit stays quick), so that connections do not crowd out the
//    books' files (the server keeps its connections below what the limit
//    leaves, SimHttpServer.h).
//  - SIGXFSZ ignored: a write past a file-size limit then fails as a write
//    to a full disk does and is refused as one, rather than killing the
//    process and whatever it serves.
void simSetUpProcess();
