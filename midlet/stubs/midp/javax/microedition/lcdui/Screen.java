package javax.microedition.lcdui;
public abstract class Screen extends Displayable {
  Screen() {}
  public native String getTitle();
  public native void setTitle(String s);
  public native Ticker getTicker();
  public native void setTicker(Ticker t);
}
