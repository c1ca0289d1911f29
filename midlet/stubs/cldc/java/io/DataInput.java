package java.io;
public interface DataInput {
  void readFully(byte[] b) throws IOException;
  int readInt() throws IOException;
  char readChar() throws IOException;
}
