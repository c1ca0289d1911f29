package java.io;
public interface DataOutput {
  void writeInt(int v) throws IOException;
  void writeChar(int v) throws IOException;
}
