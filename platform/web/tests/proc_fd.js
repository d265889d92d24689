// The core's tests count the open files by listing /proc/self/fd, as Linux
// has it. Emscripten's file system has that folder for readlink only: here
// it lists the open streams too.
Module.preRun = (Module.preRun || []).concat(() => {
  const fds = FS.lookupPath('/proc/self/fd').node;
  fds.node_ops.readdir = () => ['.', '..'].concat(
      FS.streams.flatMap((stream, fd) => (stream ? [String(fd)] : [])));
  fds.stream_ops = {
    llseek: (stream, offset, whence) => offset + (whence === 1 ? stream.position : 0),
  };
});
