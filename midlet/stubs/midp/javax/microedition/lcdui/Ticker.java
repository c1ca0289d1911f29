package javax.microedition.lcdui;
public class Ticker {
  public Ticker(String s) {}
  public native String getString();
  public native void setString(String s);
}
