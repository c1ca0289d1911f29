package java.io;
public class PrintStream extends OutputStream {
  public PrintStream(OutputStream out) {}
  public native void write(int b);
  public native void print(String s);
  public native void println(String s);
  public native void println(Object o);
}
